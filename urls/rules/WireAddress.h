// The bytes an address goes out as. The HTTP library sends an address as it
// is given, and neither a name server nor a UTF-8 site understands raw
// non-ASCII bytes, so an address is first put in the form a current browser
// sends for the same typed text.
#pragma once
#include <string>
#include <string_view>

// Takes an absolute address in UTF-8 ("http://例子.测试/中文?q=输入法") and gives
// what goes on the wire ("http://xn--fsqu00a.xn--0zwm56d/%E4%B8%AD%E6%96%87?q=...").
//  - Host: the ideographic, fullwidth and halfwidth full stops separate labels
//    like "."; fullwidth letters, digits and hyphens become ASCII; ASCII
//    letters become lower-case; each label with other characters becomes
//    "xn--" and its Punycode. Nothing further of IDNA mapping is done (no
//    normalisation, no case folding beyond ASCII, no validity checks). A
//    host that is not valid UTF-8, or too long for any name server, has its
//    non-ASCII bytes percent-escaped.
//  - Everything else (user, port, path, query, fragment): each non-ASCII byte
//    becomes %XX with upper-case hex. Escapes already there stay as they are.
// Text whose bytes are all ASCII comes back unchanged, byte for byte.
std::string WireAddress(std::string_view utf8Url);

// The Punycode of a label's code points (RFC 3492), without "xn--".
std::string Punycode(std::u32string_view label);
