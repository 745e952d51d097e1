// What "打开网页" hands to the shell is always an http or https address that
// ends with the text it came from, and handing it over again changes nothing.
#include <optional>

#include "core/rules/Text.h"
#include "tools/fuzz/Fuzz.h"
#include "urls/rules/WebAddress.h"

namespace {

bool IsDriveLetter(std::string_view text) {
    return text.size() > 1 && text[1] == ':' && ((text[0] >= 'a' && text[0] <= 'z') || (text[0] >= 'A' && text[0] <= 'Z'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> address = WebAddressToOpen(text);
    FUZZ_CHECK(!address || StartsWithNoCase(*address, "http://") || StartsWithNoCase(*address, "https://"));
    FUZZ_CHECK(!address || (address->size() >= size && address->compare(address->size() - size, size, text) == 0));
    FUZZ_CHECK(!address || WebAddressToOpen(*address) == address);
    FUZZ_CHECK(!address || !(text.empty() || text[0] == '/' || text[0] == '\\' || IsDriveLetter(text)));
    return 0;
}
