"""What the maker's site and the lyrics site share: a threaded loopback server
that logs every request, and a handler base with the small reply helpers."""

import sys
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

HOST = "127.0.0.1"


class Server(ThreadingHTTPServer):
    # Connection threads must not hold up the exit: a slow trickle may still run.
    daemon_threads = True

    def __init__(self, name, port, handler, site):
        self.name = name
        self.site = site
        super().__init__((HOST, port), handler)

    @property
    def origin(self):
        return "http://%s:%d" % (HOST, self.server_address[1])

    def handle_error(self, request, client_address):
        # A client that hangs up mid-reply is normal here (the downloader stops its
        # connections); anything else goes to the error log.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


class Handler(BaseHTTPRequestHandler):
    # Keep-alive for clients that ask for it; HTTP/1.0 clients get one reply a connection.
    protocol_version = "HTTP/1.1"
    server_version = "LyrimarkSite/1.0"
    head_only = False

    def parse_request(self):
        if not super().parse_request():
            return False
        if not self.path.startswith("/_control/"):
            self.server.site.log.add(
                self.server.name,
                self.command,
                self.path,
                self.request_version,
                self.headers.items(),
                self.client_address[1],
            )
        return True

    def do_GET(self):
        self.head_only = False
        self.route()

    def do_HEAD(self):
        self.head_only = True
        self.route()

    def route(self):
        raise NotImplementedError

    def target(self):
        """The path and the query values of the request (UTF-8, blanks kept)."""
        parts = urlsplit(self.path)
        query = parse_qs(parts.query, keep_blank_values=True, errors="replace")
        return parts.path, {key: values[0] for key, values in query.items()}

    def reply(self, status, body, content_type="text/plain; charset=utf-8", headers=()):
        if isinstance(body, str):
            body = body.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        if not self.head_only:
            self.wfile.write(body)

    def begin_close_delimited(self, status, content_type):
        """Headers of a reply without Content-Length: the body ends when we close."""
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True

    def log_message(self, format, *args):
        sys.stderr.write("%s %s - %s\n" % (self.server.name, self.address_string(), format % args))
