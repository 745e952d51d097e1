// Why a probe ended as it did: the final HTTP status or the failure, the time
// it took and where redirects led, and the text a user reads for it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class ProbeFailure : std::uint8_t {
    None,
    NameNotResolved,
    ConnectRefused,
    ConnectTimedOut,
    NoResponse,          // connected, but no complete answer in time
    BodyTimedOut,        // the page did not finish in time
    ConnectionReset,
    SecureFailed,
    NotHttp,             // the answer was no HTTP response
    HeadTooLarge,
    EmptyPage,
    ErrorPage,           // the provider's domain error page
    TooManyRedirects,
    UnsupportedRedirect, // a redirect to another scheme than http or https
    NoLocation,          // a redirect that names nowhere to go
    BadAddress,          // nothing requestable in the row's text
    AddressTooLong,
    TooLarge,            // only a note: the page reached the size limit and still counts
    NoSession,
    Other,               // a library error without a reason of its own; the number is shown
};

// What the socket guard itself did to the failed call, which tells more than
// the error number the library made of it.
enum class GuardOutcome : std::uint8_t { None, ConnectTimedOut, IoTimedOut, Expired, BudgetSpent };

// The reason for a library error number (the HTTP library's 12xxx numbers and
// the system's socket numbers). A guard outcome decides first; `secure` says
// the request was made over TLS, where a connection dropped before any answer
// means the handshake failed.
ProbeFailure FailureFromError(unsigned long error, GuardOutcome guard, bool secure);

struct ProbeReason {
    unsigned long status = 0;      // the last HTTP status received, 0 when none came
    std::string statusText;        // its reason phrase as the server sent it
    ProbeFailure failure = ProbeFailure::None;
    unsigned long error = 0;       // the library's number, shown for ProbeFailure::Other
    unsigned long elapsedMs = 0;
    int redirects = 0;             // redirects followed
    std::string finalUrl;          // the last address requested, when redirects were followed
};

// The Chinese (GBK) text of a failure; "" for None.
const char* FailureText(ProbeFailure failure);

// One line "HTTP 404 Not Found · 0.21 秒" or "无法解析域名 · 3.02 秒" (status,
// failure and time, as far as known), and when redirects were followed a
// second line "重定向 2 次 → URL" with the URL shortened to maxUrlBytes.
std::string FormatReason(const ProbeReason& reason, std::size_t maxUrlBytes = 80);

// The text cut to at most maxBytes bytes on a character boundary, with "…"
// appended (within maxBytes) when it was cut. In a cut text a lead byte that
// has no trail byte becomes "?", so no kept byte pairs with what follows it.
std::string ShortenGbk(std::string_view text, std::size_t maxBytes);
