// A shortened text is a whole-character prefix (a lead byte without its trail
// shown as "?") as long as fits, then "…" as a character of its own; the tip
// carries the shortened final address on its second line; every error number
// has a reason with a text.
#include "tools/fuzz/Fuzz.h"
#include "urls/rules/ProbeReason.h"

namespace {

void CheckShortened(std::string_view text, std::size_t maxBytes) {
    static constexpr std::string_view kEllipsis = "…";
    const std::string cut = ShortenGbk(text, maxBytes);
    FUZZ_CHECK(cut.size() <= maxBytes);
    FUZZ_CHECK(text.size() > maxBytes || cut == text);
    if (text.size() <= maxBytes || maxBytes < kEllipsis.size()) return;
    const std::size_t kept = cut.size() - kEllipsis.size();
    FUZZ_CHECK(cut.substr(kept) == kEllipsis);
    FUZZ_CHECK(IsCharBoundary(cut, kept) && IsCharBoundary(text, kept));
    FUZZ_CHECK(kept + MbcsCharLength(text, kept) > maxBytes - kEllipsis.size());
    for (std::size_t i = 0; i < kept; i += MbcsCharLength(text, i)) {
        const bool loneLead = MbcsCharLength(text, i) == 1 && IsGbkLeadByte(static_cast<unsigned char>(text[i]));
        FUZZ_CHECK(loneLead ? cut[i] == '?' : cut.compare(i, MbcsCharLength(text, i), text, i, MbcsCharLength(text, i)) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    ProbeReason reason;
    reason.status = in.ConsumeIntegral<unsigned long>();
    reason.statusText = in.ConsumeRandomLengthString(16);
    reason.error = in.ConsumeIntegral<unsigned long>();
    reason.failure = FailureFromError(reason.error, static_cast<GuardOutcome>(in.ConsumeIntegralInRange(0, 4)), in.ConsumeBool());
    reason.elapsedMs = in.ConsumeIntegral<unsigned long>();
    reason.redirects = in.ConsumeIntegral<int>();
    const std::size_t maxBytes = in.ConsumeIntegralInRange<std::size_t>(0, 64);
    reason.finalUrl = in.ConsumeRemainingBytesAsString();

    CheckShortened(reason.finalUrl, maxBytes);
    FUZZ_CHECK(reason.failure <= ProbeFailure::Other);
    FUZZ_CHECK((reason.failure == ProbeFailure::None) == (*FailureText(reason.failure) == '\0'));
    const std::string tip = FormatReason(reason, maxBytes);
    const std::string tail = reason.redirects > 0 && !reason.finalUrl.empty() ? " → " + ShortenGbk(reason.finalUrl, maxBytes) : "";
    FUZZ_CHECK(tip.size() >= tail.size() && tip.compare(tip.size() - tail.size(), tail.size(), tail) == 0);
    FUZZ_CHECK(reason.status == 0 || tip.rfind("HTTP " + std::to_string(reason.status), 0) == 0);
    return 0;
}
