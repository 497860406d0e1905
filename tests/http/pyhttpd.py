#!/usr/bin/python3
"""Reference HTTP server for the client tests (standard library only).

Prints its port, then serves /echo..., /chunked, /close10 (HTTP/1.0, body to
the end of the connection), /status/N and /big/N (N pattern bytes)."""
import http.server
import json
import socketserver


class Handler(http.server.BaseHTTPRequestHandler):
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
        return self._send(404, b"{}")

    do_GET = do_HEAD = _route
    do_POST = do_PUT = _echo


def main():
    socketserver.ThreadingTCPServer.allow_reuse_address = True
    with socketserver.ThreadingTCPServer(("127.0.0.1", 0), Handler) as srv:
        srv.daemon_threads = True
        print(srv.server_address[1], flush=True)
        srv.serve_forever()


if __name__ == "__main__":
    main()
