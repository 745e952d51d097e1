#!/usr/bin/env python3
"""A local demo site for trying Skein without the internet.

Serves on 127.0.0.1 (port 8765 unless --port is given):
  /            a page that answers                      -> "OK"
  /shop        another page that answers                -> "OK"
  /nxdomain    an internet provider's domain-error page -> "无效!"
  /missing     404                                      -> "超时!"
  /empty       200 with no body                         -> "超时!"
"""
import argparse
import http.server

ERROR_PAGE = ("<HTML><HEAD><TITLE>域名纠错系统</TITLE></HEAD>"
              "<BODY>您访问的域名不存在。</BODY></HTML>").encode("gbk")
PAGE = b"<html><head><title>Skein demo</title></head><body>It answers.</body></html>"


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        path = self.path.split("?", 1)[0]
        if path in ("/", "/shop"):
            self.reply(200, PAGE, "text/html")
        elif path == "/nxdomain":
            self.reply(200, ERROR_PAGE, "text/html; charset=gbk")
        elif path == "/empty":
            self.reply(200, b"", "text/html")
        else:
            self.reply(404, b"not here", "text/plain")

    def reply(self, status, body, ctype):
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, fmt, *args):
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=8765)
    args = parser.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    print(f"demo site: http://127.0.0.1:{args.port}/ (Ctrl+C stops it)", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
