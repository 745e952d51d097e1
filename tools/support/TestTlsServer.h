// An HTTPS server on the loopback for tests, with a self-signed certificate.
// An in-process TLS server is not available under Wine (its schannel offers
// no server side), so this one runs as a host Python process that Wine starts
// like any program; where that is impossible, Ok() is false and the tests that
// need TLS say so and skip.
#pragma once
#include <windows.h>

#include <string>

namespace testsupport {

// Paths: /page (200, a small page), /errpage (200, the provider's domain error
// page), /redirect?to=L (302 to L).
class TestTlsServer {
public:
    TestTlsServer();
    TestTlsServer(const TestTlsServer&) = delete;
    TestTlsServer& operator=(const TestTlsServer&) = delete;
    ~TestTlsServer();

    bool Ok() const { return m_port != 0; }
    const std::string& Error() const { return m_error; }
    unsigned short Port() const { return m_port; }
    // "https://127.0.0.1:PORT" + path.
    std::string Url(const std::string& path) const;

private:
    std::string m_dir;        // scratch directory: script, certificate, port file, alive flag
    unsigned short m_port = 0;
    std::string m_error;
    HANDLE m_hProcess = nullptr;
};

}  // namespace testsupport
