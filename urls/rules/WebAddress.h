// What "打开网页" may hand to the shell's "open" verb. Handing it arbitrary text
// from an imported file could start a local program ("example.com" names a DOS
// executable), so only web addresses go.
#pragma once
#include <optional>
#include <string>
#include <string_view>

// "http://..." and "https://..." (any letter case) as they are; text without a
// scheme, such as a bare host name or host:port, with "http://" in front.
// Nothing for empty text, paths ("C:\x", "\\server\share", "/x") and every
// other scheme ("file:", "mailto:", "javascript:", ...).
std::optional<std::string> WebAddressToOpen(std::string_view text);
