// Strict UTF-8 reading is canonical: each character read encodes back to the
// very bytes it came from, and a broken sequence is only what went wrong. The
// UTF-16 units made for the code page hold no surrogate, one per character.
#include "tools/fuzz/Fuzz.h"
#include "urls/rules/ImportRules.h"

namespace {

std::string EncodeUtf8(char32_t c) {
    if (c < 0x80) return std::string(1, char(c));
    if (c < 0x800) return {char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
    if (c < 0x10000) return {char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
    return {char(0xF0 | c >> 18), char(0x80 | (c >> 12 & 0x3F)), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
}

bool IsSurrogate(unsigned u) { return u >= 0xD800 && u <= 0xDFFF; }

// Reads the bytes character by character beside DecodeUtf8's units.
void CheckReading(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string units = DecodeUtf8(bytes);
    std::size_t unit = 0;
    bool broken = false;
    for (const unsigned char *p = data, *end = data + size; p != end; ++unit) {
        const unsigned char* start = p;
        const char32_t c = NextUtf8CodePoint(p, end);
        const std::string_view read(reinterpret_cast<const char*>(start), p - start);
        FUZZ_CHECK(p > start && p <= end);
        FUZZ_CHECK(c == kBrokenUtf8 ? read.size() < 4 : EncodeUtf8(c) == read && !IsSurrogate(c));
        FUZZ_CHECK(unit < units.size() && units[unit] == (c < 0x10000 ? c : 0xFFFD));
        broken |= c == kBrokenUtf8;
    }
    FUZZ_CHECK(unit == units.size() && IsStrictUtf8(bytes) == !broken);
}

void CheckUtf16(std::string_view bytes) {
    // Little-endian units without surrogates are ready as they are.
    const std::size_t size = bytes.size();
    std::string utf16(bytes);
    auto unitAt = [&](std::size_t i) { return unsigned((unsigned char)utf16[2 * i] | (unsigned char)utf16[2 * i + 1] << 8); };
    bool surrogates = false;
    for (std::size_t i = 0; i < size / 2; ++i) surrogates |= IsSurrogate(unitAt(i));
    const std::size_t count = PrepareUtf16Units(utf16.data(), utf16.size(), false);
    FUZZ_CHECK(count <= size / 2 && (surrogates || (count == size / 2 && utf16 == bytes)));
    for (std::size_t i = 0; i < count; ++i) FUZZ_CHECK(!IsSurrogate(unitAt(i)));
    std::string swapped(bytes);
    for (std::size_t i = 0; i + 1 < size; i += 2) std::swap(swapped[i], swapped[i + 1]);
    FUZZ_CHECK(PrepareUtf16Units(swapped.data(), size, true) == count && swapped.compare(0, 2 * count, utf16, 0, 2 * count) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckReading(data, size);
    CheckUtf16(bytes);
    const ByteOrderMark mark = DetectByteOrderMark(bytes);
    FUZZ_CHECK(mark.length <= size && (mark.length == 0) == (mark.encoding == TextEncoding::Ansi));
    return 0;
}
