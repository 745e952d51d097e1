// The cookies of one check. A site that sets a cookie and redirects to see
// it come back must still answer, so what one check's answers set goes with
// that check's later hops, matched as a browser matches the simple cases:
// host or domain, path, and https only for a secure cookie. Nothing is kept
// beyond the check and nothing of the user's own store is involved.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CookieJar {
public:
    // A browser's own bounds, which also keep a hostile site from making the
    // next request's head larger than servers take.
    static constexpr std::size_t kMaxCookies = 50;
    static constexpr std::size_t kMaxCookieBytes = 4096;   // name and value

    // Takes the value of one Set-Cookie header received from url (absolute).
    // Cookies another site could not set (a Domain the host is not in), a
    // nameless one, one for an address that is not http or https, one longer
    // than a browser keeps and any beyond the number a browser keeps per site
    // are dropped; a Max-Age of zero or less removes the cookie it names.
    void Take(std::string_view url, std::string_view setCookie);

    // The Cookie header's value for a request to url: "a=1; b=2", longer
    // paths first; empty when no cookie goes there.
    std::string HeaderFor(std::string_view url) const;

    bool Empty() const { return m_cookies.empty(); }

private:
    struct Cookie {
        std::string name, value;
        std::string domain;   // lower case, no leading dot
        bool hostOnly = true;
        std::string path;
        bool secure = false;
    };
    // One attribute ("Domain=...", "Path=/", "Secure", "Max-Age=0", ...) of a
    // Set-Cookie header from `host`; false when it is one no site may set.
    static bool TakeAttribute(std::string_view attribute, const std::string& host, Cookie& c, bool& remove);
    void Store(Cookie c, bool remove);   // the cookie set, replaced, or removed when `remove`
    std::vector<Cookie> m_cookies;
};
