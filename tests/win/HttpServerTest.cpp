// The loopback test server's own promises that other tests rely on: it
// counts simultaneous connections, and it stops promptly whatever its
// connections are doing.
#include <winsock2.h>

#include <gtest/gtest.h>

#include "tools/support/TestHttpServer.h"
#include "win/TestSupport.h"

using testsupport::TestHttpServer;

namespace {

SOCKET Connect(unsigned short port) {
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (::connect(s, (sockaddr*)&addr, sizeof addr) != 0) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

bool WaitFor(const std::function<bool()>& pred, DWORD ms = 3000) {
    DWORD start = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - start > ms) return false;
        ::Sleep(10);
    }
    return true;
}

struct Winsock {
    Winsock() {
        WSADATA wsa;
        ::WSAStartup(MAKEWORD(2, 2), &wsa);
    }
    ~Winsock() { ::WSACleanup(); }
};

}  // namespace

TEST(HttpServer, CountsOpenAndPeakConnections) {
    Winsock ws;
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    SOCKET a = Connect(server.Port()), b = Connect(server.Port()), c = Connect(server.Port());
    ASSERT_NE(c, INVALID_SOCKET);
    EXPECT_TRUE(WaitFor([&] { return server.OpenConnections() == 3; }));
    ::closesocket(a);
    ::closesocket(b);
    EXPECT_TRUE(WaitFor([&] { return server.OpenConnections() == 1; }));
    EXPECT_EQ(server.PeakConnections(), 3);
    server.ResetPeak();
    EXPECT_EQ(server.PeakConnections(), 1);
    ::closesocket(c);
    EXPECT_TRUE(WaitFor([&] { return server.OpenConnections() == 0; }));
    EXPECT_EQ(server.TotalConnections(), 3);
}

TEST(HttpServer, StopsPromptlyWithHeldConnections) {
    Winsock ws;
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    SOCKET silent = Connect(server.Port());
    SOCKET endless = Connect(server.Port());
    const char req1[] = "GET /silent HTTP/1.1\r\nHost: x\r\n\r\n";
    const char req2[] = "GET /endless HTTP/1.1\r\nHost: x\r\n\r\n";
    ::send(silent, req1, sizeof req1 - 1, 0);
    ::send(endless, req2, sizeof req2 - 1, 0);   // never read: the server's send blocks
    ASSERT_TRUE(WaitFor([&] { return server.CountRequests("/endless") == 1 && server.CountRequests("/silent") == 1; }));
    DWORD start = ::GetTickCount();
    server.Stop();
    EXPECT_LT(::GetTickCount() - start, 2000u);
    EXPECT_EQ(server.OpenConnections(), 0);
    ::closesocket(silent);
    ::closesocket(endless);
}
