// The probe's decisions that need no network: which address to fetch for a
// row's text, how the body becomes page text, and what the page means.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "core/rules/ProbeResult.h"

// The address to fetch. Text that starts with "http://" or "https://" (any
// letter case) is fetched as it is; anything else is taken as plain HTTP.
std::string NormalizeUrl(std::string_view url);

// "<TITLE>域名纠错系统": the title of the page a provider serves in place of a
// domain name that does not exist. Matched byte for byte, case-sensitively.
extern const std::string_view kErrorPageMarker;
bool ContainsErrorPageMarker(std::string_view page);

// Whether a response head (status line and header lines, CR LF or LF
// separated) carries at least one header line. The HTTP library dresses a
// reply that is not HTTP at all as "HTTP/1.0 200 OK" with no headers; no web
// server answers a GET without a single header.
bool HasHeaderLines(std::string_view rawHead);

// Bounds that no server can move.
constexpr std::size_t kMaxUrlBytes = 8192;        // longest address handed to the HTTP library
constexpr int kMaxRedirects = 10;                 // hops followed after the first request
constexpr std::size_t kMaxHeadBytes = 64 * 1024;  // response head, status line and header lines

// Whether an address is short enough to be requested at all. Servers answer
// longer request lines with 414, and the HTTP library fails on very long ones.
bool FitsRequestLine(std::string_view url);

// Whether the probe fetches an address: http or https, in any letter case.
bool IsFollowableScheme(std::string_view url);

// The statuses whose Location the probe follows.
bool IsRedirectStatus(unsigned long status);

// The absolute address that a Location header names, resolved against the
// address that answered with it: absolute, scheme-relative, host-relative,
// relative with dot segments, or query only. The fragment is dropped. Empty
// when the Location is empty or the base is not absolute.
std::string ResolveLocation(std::string_view base, std::string_view location);

// The kProbe* result for the page text that came back (empty: nothing came back).
int ClassifyPage(std::string_view page);

// Largest body the probe reads; a page that reaches it still counts.
constexpr std::size_t kMaxBodyBytes = 1024 * 1024;

// Turns body bytes, fed in chunks of any size, into page text the way a line
// reader with a 4095-byte limit does: CR bytes are dropped, the body arrives in
// pieces that end at LF or at the limit, and a piece counts only up to its
// first zero byte. At most maxBytes bytes of body are taken.
class PageTextBuilder {
public:
    static constexpr std::size_t kPieceLimit = 4095;

    explicit PageTextBuilder(std::size_t maxBytes = kMaxBodyBytes) : m_maxBytes(maxBytes) {}

    // Takes what fits under the limit; false once the limit is reached and no
    // more body is wanted.
    bool Feed(std::string_view bytes);
    bool Full() const { return m_taken >= m_maxBytes; }
    std::size_t BytesTaken() const { return m_taken; }
    const std::string& Text() const { return m_text; }

private:
    std::size_t m_maxBytes;
    std::size_t m_taken = 0;
    std::size_t m_pieceLength = 0;   // bytes of the current piece so far (CR excluded)
    bool m_pieceCut = false;         // a zero byte ended what counts of the current piece
    std::string m_text;
};
