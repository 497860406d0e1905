#!/usr/bin/python3
"""Reference HTTP server for the client tests, built on the standard library.

Prints the chosen port on its first line, then serves until killed.
Routes:
  /echo...      200, JSON of the request line, headers and body (HTTP/1.1, content-length)
  /chunked      200, chunked body "alpha" "beta" "gamma"
  /close10      HTTP/1.0 answer whose body ends with the connection
  /status/N     status N with a short body
  /big/N        N bytes of a repeating pattern, content-length framed
  anything else the file of that name from the directory given as argv[1]
"""
import http.server
import json
import socketserver
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def _send(self, code, body, headers=None, ctype="application/json"):
        self.send_response(code)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        for k, v in (headers or {}).items():
            self.send_header(k, v)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def _echo(self):
        length = int(self.headers.get("Content-Length", "0") or 0)
        body = self.rfile.read(length) if length else b""
        doc = {
            "requestline": self.requestline,
            "path": self.path,
            "headers": [[k, v] for k, v in self.headers.items()],
            "body": body.decode("latin-1"),
            "peer": self.client_address[1],
        }
        self._send(200, json.dumps(doc).encode(), {"X-Mixed-Case": "Application/JSON"})

    def _route(self):
        if self.path.startswith("/echo"):
            return self._echo()
        if self.path == "/chunked":
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            for part in (b"alpha", b"beta", b"gamma"):
                self.wfile.write(b"%x\r\n%s\r\n" % (len(part), part))
            self.wfile.write(b"0\r\n\r\n")
            return
        if self.path == "/close10":
            self.protocol_version = "HTTP/1.0"
            self.send_response(200)
            self.end_headers()
            self.wfile.write(b"until-the-end")
            self.close_connection = True
            return
        if self.path.startswith("/status/"):
            return self._send(int(self.path[8:]), b"{}")
        if self.path.startswith("/big/"):
            n = int(self.path[5:])
            pattern = bytes(range(256))
            data = (pattern * (n // 256 + 1))[:n]
            return self._send(200, data, ctype="application/octet-stream")
        return super().do_GET()

    def do_GET(self):
        self._route()

    def do_HEAD(self):
        self._route()

    def do_POST(self):
        self._echo()

    def do_PUT(self):
        self._echo()


def main():
    directory = sys.argv[1] if len(sys.argv) > 1 else "."

    def factory(*a, **kw):
        return Handler(*a, directory=directory, **kw)

    socketserver.ThreadingTCPServer.allow_reuse_address = True
    with socketserver.ThreadingTCPServer(("127.0.0.1", 0), factory) as srv:
        srv.daemon_threads = True
        print(srv.server_address[1], flush=True)
        srv.serve_forever()


if __name__ == "__main__":
    main()
