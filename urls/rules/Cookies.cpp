#include "urls/rules/Cookies.h"

#include <algorithm>
#include <cstdlib>

#include "core/rules/Text.h"
#include "urls/rules/Mbcs.h"

namespace {

struct Target {
    bool secure = false;
    std::string host;   // lower case
    std::string path;   // "/" at least, without query
};

// Only http and https addresses carry cookies. Every delimiter looked for is
// below 0x40, so no GBK trail byte is taken for one.
bool Split(std::string_view url, Target& t) {
    std::size_t at;
    if (StartsWithNoCase(url, "http://")) at = 7;
    else if (StartsWithNoCase(url, "https://")) at = 8, t.secure = true;
    else return false;
    std::size_t end = url.find_first_of("/?#", at);
    std::string_view authority = url.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    std::size_t userEnd = authority.rfind('@');
    if (userEnd != std::string_view::npos) authority.remove_prefix(userEnd + 1);
    std::size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos)
        authority = authority.substr(0, colon);
    if (authority.empty()) return false;
    t.host = authority;
    MbcsMakeLower(t.host);
    t.path = "/";
    if (end != std::string_view::npos && url[end] == '/') t.path = url.substr(end, url.find_first_of("?#", end) - end);
    return true;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A host written as an IPv4 or IPv6 address matches only itself.
bool IsAddress(std::string_view host) {
    if (!host.empty() && host.front() == '[') return true;
    return host.find_first_not_of("0123456789.") == std::string_view::npos;
}

bool DomainMatches(std::string_view host, std::string_view domain) {
    if (host == domain) return true;
    return !IsAddress(host) && host.size() > domain.size() && host.substr(host.size() - domain.size()) == domain &&
           host[host.size() - domain.size() - 1] == '.';
}

bool PathMatches(std::string_view requestPath, std::string_view cookiePath) {
    if (requestPath.substr(0, cookiePath.size()) != cookiePath) return false;
    return requestPath.size() == cookiePath.size() || cookiePath.back() == '/' ||
           requestPath[cookiePath.size()] == '/';
}

// The directory of the request's path: where a cookie without a Path goes.
std::string DefaultPath(const std::string& requestPath) {
    std::size_t slash = requestPath.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : requestPath.substr(0, slash);
}

}  // namespace

bool CookieJar::TakeAttribute(std::string_view attribute, const std::string& host, Cookie& c, bool& remove) {
    const std::size_t eq = attribute.find('=');
    std::string name(Trim(attribute.substr(0, eq)));
    const std::string_view value = eq == std::string_view::npos ? std::string_view() : Trim(attribute.substr(eq + 1));
    MbcsMakeLower(name);
    if (name == "domain" && !value.empty()) {
        std::string domain(value.front() == '.' ? value.substr(1) : value);
        MbcsMakeLower(domain);
        // A bare top-level name would reach every site under it.
        if ((domain != host && domain.find('.') == std::string::npos) || !DomainMatches(host, domain)) return false;
        c.domain = domain;
        c.hostOnly = false;
    } else if (name == "path" && !value.empty() && value.front() == '/') {
        c.path = value;
    } else if (name == "secure") {
        c.secure = true;
    } else if (name == "max-age" && !value.empty()) {
        remove = std::strtol(std::string(value).c_str(), nullptr, 10) <= 0;
    }
    return true;
}

void CookieJar::Store(Cookie c, bool remove) {
    auto same = std::find_if(m_cookies.begin(), m_cookies.end(), [&](const Cookie& k) {
        return k.name == c.name && k.domain == c.domain && k.path == c.path;
    });
    if (remove) {
        if (same != m_cookies.end()) m_cookies.erase(same);
    } else if (same != m_cookies.end()) {
        *same = std::move(c);   // keeps its place: the order is the order of first setting
    } else if (m_cookies.size() < kMaxCookies) {
        m_cookies.push_back(std::move(c));
    }
}

void CookieJar::Take(std::string_view url, std::string_view setCookie) {
    Target from;
    if (!Split(url, from)) return;
    std::size_t semi = setCookie.find(';');
    const std::string_view pair = setCookie.substr(0, semi);
    const std::size_t eq = pair.find('=');
    if (eq == std::string_view::npos) return;
    Cookie c;
    c.name = Trim(pair.substr(0, eq));
    c.value = Trim(pair.substr(eq + 1));
    if (c.name.empty() || c.name.size() + c.value.size() > kMaxCookieBytes) return;
    c.domain = from.host;
    c.path = DefaultPath(from.path);
    bool remove = false;
    while (semi != std::string_view::npos) {
        const std::size_t next = setCookie.find(';', semi + 1);
        if (!TakeAttribute(setCookie.substr(semi + 1, next == std::string_view::npos ? next : next - semi - 1),
                           from.host, c, remove))
            return;
        semi = next;
    }
    Store(std::move(c), remove);
}

std::string CookieJar::HeaderFor(std::string_view url) const {
    Target to;
    if (!Split(url, to)) return {};
    std::vector<const Cookie*> sent;
    for (const Cookie& c : m_cookies) {
        bool host = c.hostOnly ? to.host == c.domain : DomainMatches(to.host, c.domain);
        if (host && PathMatches(to.path, c.path) && (!c.secure || to.secure)) sent.push_back(&c);
    }
    std::stable_sort(sent.begin(), sent.end(),
                     [](const Cookie* a, const Cookie* b) { return a->path.size() > b->path.size(); });
    std::string header;
    for (const Cookie* c : sent) {
        if (!header.empty()) header += "; ";
        header += c->name + "=" + c->value;
    }
    return header;
}
