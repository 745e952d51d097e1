#include "urls/rules/ProbeReason.h"

#include <cstdio>

#include "urls/rules/Mbcs.h"

namespace {

// The HTTP library's error numbers (wininet.h) and the socket ones (winsock2.h).
constexpr unsigned long kInternetTimeout = 12002;
constexpr unsigned long kInternetInvalidUrl = 12005;
constexpr unsigned long kInternetUnrecognizedScheme = 12006;
constexpr unsigned long kInternetNameNotResolved = 12007;
constexpr unsigned long kInternetCannotConnect = 12029;
constexpr unsigned long kInternetConnectionAborted = 12030;
constexpr unsigned long kInternetConnectionReset = 12031;
constexpr unsigned long kInternetSecCertDateInvalid = 12037;
constexpr unsigned long kInternetSecCertCnInvalid = 12038;
constexpr unsigned long kInternetClientAuthCertNeeded = 12044;
constexpr unsigned long kInternetInvalidCa = 12045;
constexpr unsigned long kInternetSecCertErrors = 12055;
constexpr unsigned long kInternetSecCertRevFailed = 12057;
constexpr unsigned long kInternetSecurityChannelError = 12157;
constexpr unsigned long kHttpInvalidServerResponse = 12152;
constexpr unsigned long kHttpHeaderNotFound = 12150;
constexpr unsigned long kInternetSecInvalidCert = 12169;
constexpr unsigned long kInternetSecCertRevoked = 12170;
constexpr unsigned long kInternetSecureFailure = 12175;
constexpr unsigned long kWsaConnAborted = 10053;
constexpr unsigned long kWsaConnReset = 10054;
constexpr unsigned long kWsaTimedOut = 10060;
constexpr unsigned long kWsaConnRefused = 10061;
constexpr unsigned long kWsaHostNotFound = 11001;
constexpr unsigned long kWsaNoData = 11004;

}  // namespace

ProbeFailure FailureFromError(unsigned long error, GuardOutcome guard, bool secure) {
    switch (guard) {
    case GuardOutcome::ConnectTimedOut: return ProbeFailure::ConnectTimedOut;
    case GuardOutcome::IoTimedOut:
    case GuardOutcome::Expired: return ProbeFailure::NoResponse;
    case GuardOutcome::BudgetSpent: return ProbeFailure::HeadTooLarge;
    case GuardOutcome::None: break;
    }
    switch (error) {
    case kInternetNameNotResolved:
    case kWsaHostNotFound:
    case kWsaNoData:
        return ProbeFailure::NameNotResolved;
    case kInternetCannotConnect:
    case kWsaConnRefused:
        return ProbeFailure::ConnectRefused;
    case kInternetTimeout:
    case kWsaTimedOut:
        return ProbeFailure::NoResponse;
    case kInternetConnectionAborted:
    case kInternetConnectionReset:
    case kWsaConnAborted:
    case kWsaConnReset:
        // A TLS server drops the connection it cannot agree with.
        return secure ? ProbeFailure::SecureFailed : ProbeFailure::ConnectionReset;
    case kInternetSecCertDateInvalid:
    case kInternetSecCertCnInvalid:
    case kInternetClientAuthCertNeeded:
    case kInternetInvalidCa:
    case kInternetSecCertErrors:
    case kInternetSecCertRevFailed:
    case kInternetSecurityChannelError:
    case kInternetSecInvalidCert:
    case kInternetSecCertRevoked:
    case kInternetSecureFailure:
        return ProbeFailure::SecureFailed;
    case kHttpInvalidServerResponse:
    case kHttpHeaderNotFound:
        return ProbeFailure::NotHttp;
    case kInternetInvalidUrl:
    case kInternetUnrecognizedScheme:
        return ProbeFailure::BadAddress;
    default:
        return ProbeFailure::Other;
    }
}

const char* FailureText(ProbeFailure failure) {
    switch (failure) {
    case ProbeFailure::None: return "";
    case ProbeFailure::NameNotResolved: return "无法解析域名";
    case ProbeFailure::ConnectRefused: return "连接被拒绝";
    case ProbeFailure::ConnectTimedOut: return "连接超时";
    case ProbeFailure::NoResponse: return "服务器未按时应答";
    case ProbeFailure::BodyTimedOut: return "页面未按时传完";
    case ProbeFailure::ConnectionReset: return "连接被中断";
    case ProbeFailure::SecureFailed: return "安全连接失败";
    case ProbeFailure::NotHttp: return "应答不是 HTTP";
    case ProbeFailure::HeadTooLarge: return "应答头过长";
    case ProbeFailure::EmptyPage: return "空白页面";
    case ProbeFailure::ErrorPage: return "运营商的域名纠错页";
    case ProbeFailure::TooManyRedirects: return "重定向次数过多";
    case ProbeFailure::UnsupportedRedirect: return "重定向到不支持的协议";
    case ProbeFailure::NoLocation: return "重定向没有目标地址";
    case ProbeFailure::BadAddress: return "网址无法识别";
    case ProbeFailure::AddressTooLong: return "网址过长";
    case ProbeFailure::TooLarge: return "页面超过大小上限，只读了开头";
    case ProbeFailure::NoSession: return "无法打开网络会话";
    case ProbeFailure::Other: return "网络错误";
    }
    return "";
}

std::string ShortenGbk(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    static constexpr std::string_view kEllipsis = "…";
    if (maxBytes < kEllipsis.size()) return {};
    const std::size_t limit = maxBytes - kEllipsis.size();
    std::string out;
    for (std::size_t n = 0; n < text.size();) {
        const std::size_t length = MbcsCharLength(text, n);
        if (n + length > limit) break;
        // A lead byte with no trail after it would pair with whatever follows
        // it in the cut text, the ellipsis's first byte included.
        const bool loneLead = length == 1 && IsGbkLeadByte(static_cast<unsigned char>(text[n]));
        out.append(loneLead ? std::string_view("?") : text.substr(n, length));
        n += length;
    }
    return out.append(kEllipsis);
}

std::string FormatReason(const ProbeReason& reason, std::size_t maxUrlBytes) {
    static constexpr std::string_view kSeparator = " · ";
    std::string text;
    auto add = [&](const std::string& part) {
        if (!text.empty()) text += kSeparator;
        text += part;
    };
    if (reason.status) {
        std::string status = "HTTP " + std::to_string(reason.status);
        if (!reason.statusText.empty()) status += " " + reason.statusText;
        add(status);
    }
    if (reason.failure != ProbeFailure::None) {
        std::string failure = FailureText(reason.failure);
        if (reason.failure == ProbeFailure::Other) failure += " " + std::to_string(reason.error);
        add(failure);
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%lu.%02lu 秒", reason.elapsedMs / 1000, reason.elapsedMs % 1000 / 10);
    add(seconds);
    if (reason.redirects > 0) {
        text += "\n重定向 " + std::to_string(reason.redirects) + " 次";
        if (!reason.finalUrl.empty()) text += " → " + ShortenGbk(reason.finalUrl, maxUrlBytes);
    }
    return text;
}
