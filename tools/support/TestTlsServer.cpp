#include "tools/support/TestTlsServer.h"

#include <fstream>

namespace testsupport {

namespace {

// Serves until the alive flag disappears, and two minutes at most.
const char kScript[] = R"PY(
import http.server, os, ssl, subprocess, sys, time
d = sys.argv[1]
cert, key = os.path.join(d, 'cert.pem'), os.path.join(d, 'key.pem')
subprocess.run(['openssl', 'req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-keyout', key,
                '-out', cert, '-days', '2', '-subj', '/CN=skein-test'],
               check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
ERRPAGE = open(os.path.join(d, 'errpage.html'), 'rb').read()
class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'
    def do_GET(self):
        if self.path.startswith('/redirect'):
            self.send_response(302)
            self.send_header('Location', self.path.split('to=', 1)[1])
            body = b''
        else:
            self.send_response(200)
            body = ERRPAGE if self.path == '/errpage' else b'<html><body>tls page</body></html>\r\n'
        self.send_header('Content-Type', 'text/html')
        self.send_header('Content-Length', str(len(body)))
        self.send_header('Connection', 'close')
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *args):
        pass
httpd = http.server.HTTPServer(('127.0.0.1', 0), Handler)
ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
ctx.load_cert_chain(cert, key)
httpd.socket = ctx.wrap_socket(httpd.socket, server_side=True)
httpd.timeout = 0.2
with open(os.path.join(d, 'port.tmp'), 'w') as f:
    f.write(str(httpd.server_address[1]))
os.replace(os.path.join(d, 'port.tmp'), os.path.join(d, 'port'))
end = time.time() + 120
while os.path.exists(os.path.join(d, 'alive')) and time.time() < end:
    try:
        httpd.handle_request()
    except Exception:
        pass
)PY";

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
    return (bool)f;
}

// The host path of a Windows path on Wine's drive Z: ("Z:\tmp\x" -> "/tmp/x").
std::string HostPath(const std::string& winPath) {
    std::string p = winPath;
    if (p.size() >= 2 && (p[0] == 'Z' || p[0] == 'z') && p[1] == ':') p.erase(0, 2);
    else return {};
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

}  // namespace

TestTlsServer::TestTlsServer() {
    // A directory the host process can reach by its own path: under /tmp on drive Z:.
    m_dir = "Z:\\tmp\\skein-tls-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount());
    if (!::CreateDirectoryA(m_dir.c_str(), nullptr)) {
        m_error = "no scratch directory on drive Z:";
        return;
    }
    std::string errpage = "<HTML><HEAD><TITLE>域名纠错系统</TITLE></HEAD><BODY></BODY></HTML>\r\n";
    if (!WriteFile(m_dir + "\\server.py", kScript) || !WriteFile(m_dir + "\\errpage.html", errpage) ||
        !WriteFile(m_dir + "\\alive", "1")) {
        m_error = "cannot write the server's files";
        return;
    }
    std::string cmd = "Z:\\usr\\bin\\python3 " + HostPath(m_dir) + "/server.py " + HostPath(m_dir);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        m_error = "cannot start python3";
        return;
    }
    m_hProcess = pi.hProcess;
    ::CloseHandle(pi.hThread);
    for (int i = 0; i < 200 && !m_port; ++i) {
        std::ifstream f(m_dir + "\\port");
        int port = 0;
        if (f >> port) m_port = (unsigned short)port;
        else ::Sleep(50);
    }
    if (!m_port) m_error = "the TLS server did not start (python3 with ssl and openssl are needed)";
}

TestTlsServer::~TestTlsServer() {
    if (m_dir.empty()) return;
    ::DeleteFileA((m_dir + "\\alive").c_str());   // the server ends within its poll interval
    if (m_hProcess) {
        ::WaitForSingleObject(m_hProcess, 3000);
        ::CloseHandle(m_hProcess);
    }
    for (const char* name : {"server.py", "errpage.html", "cert.pem", "key.pem", "port", "port.tmp"})
        ::DeleteFileA((m_dir + "\\" + name).c_str());
    ::RemoveDirectoryA(m_dir.c_str());
}

std::string TestTlsServer::Url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(m_port) + path;
}

}  // namespace testsupport
