#include "urls/AnsiWireAddress.h"

#include <windows.h>

#include "core/CodePageText.h"
#include "urls/rules/ProbeRules.h"
#include "urls/rules/Utf8.h"
#include "urls/rules/WireAddress.h"

std::string WireAddressFromAnsi(const std::string& ansiUrl) {
    // A line already too long for a request line is refused as it stands, not
    // converted at several times its size: its wire form is longer still,
    // unless its host name is thousands of times longer than a name server takes.
    if (ansiUrl.size() > kMaxUrlBytes || IsAscii(ansiUrl)) return ansiUrl;
    return WireAddress(Utf8FromCodePage(CP_ACP, ansiUrl));
}
