"""The maker's site: its pages from the repository's site/ directory, the announcement
page in the variant a test has chosen, the update file, pages for testing the page
fetch, and the control requests."""

import mimetypes
import os
import re
from urllib.parse import unquote, urlencode

from httpbase import Handler
from update import serve_update

# Statuses that may carry a body (no 1xx, 204 or 304).
STATUSES = set(range(200, 600)) - {204, 304}

NOT_FOUND = "<html><head><meta charset=\"utf-8\"><title>404</title></head><body><p>页面不存在。</p></body></html>"


def test_body(n):
    """n printable bytes that never repeat within 89, so a body put together from
    pieces in the wrong order or with a piece twice does not look right."""
    period = bytes(range(33, 33 + 89))
    return (period * (n // 89 + 1))[:n]


class MakerHandler(Handler):
    def route(self):
        path, query = self.target()
        site = self.server.site
        if path.startswith("/_control/"):
            self.control(path[len("/_control/") :], query)
        elif path == "/announce.html":
            self.serve(site.announcement_page(), "text/html")
        elif path.startswith("/update/"):
            serve_update(self, site.update)
        elif path.startswith("/test/"):
            self.test_page(path[len("/test/") :], query)
        else:
            self.static(unquote(path))

    def static(self, path):
        root = self.server.site.pages
        file = os.path.normpath(os.path.join(root, path.lstrip("/")))
        if not (file + os.sep).startswith(root + os.sep):
            self.reply(404, NOT_FOUND, "text/html; charset=utf-8")
            return
        if os.path.isdir(file):
            file = os.path.join(file, "index.html")
        self.page(file)

    def page(self, file):
        """A file of the site."""
        try:
            with open(file, "rb") as f:
                body = f.read()
        except OSError:
            self.reply(404, NOT_FOUND, "text/html; charset=utf-8")
            return
        self.serve(body, mimetypes.guess_type(file)[0] or "application/octet-stream")

    def serve(self, body, content_type):
        """Pages may name the site's own addresses as @MAKER@, @LYRICS@ and @FTP@, so
        they stay right on whatever ports the site runs."""
        if content_type == "text/html":
            for name, address in self.server.site.addresses.items():
                body = body.replace(b"@%s@" % name.upper().encode(), address.encode())
            charset = re.search(rb'charset=["\']?([\w-]+)', body[:1024])
            content_type += "; charset=" + (charset.group(1).decode() if charset else "utf-8")
        self.reply(200, body, content_type)

    def test_page(self, name, query):
        if name == "no-length":
            self.begin_close_delimited(200, "text/plain")
            if not self.head_only:
                self.wfile.write(test_body(int(query.get("n", "50000"))))
        elif name == "endless":
            # A body without end (stops at 1 GB, or when the client goes away).
            self.begin_close_delimited(200, "text/plain")
            block = test_body(89 * 1024)
            try:
                for _ in range(0 if self.head_only else (1 << 30) // len(block)):
                    self.wfile.write(block)
            except OSError:
                pass
        elif name == "bytes" and query.get("n", "").isdigit():
            self.reply(200, test_body(int(query["n"])), "text/plain")
        elif name == "redirect":
            self.redirect(query)
        elif name == "echo":
            lines = [self.requestline] + ["%s: %s" % item for item in self.headers.items()]
            self.reply(200, "".join(line + "\r\n" for line in lines))
        elif name.startswith("status/") and name[7:].isdigit() and int(name[7:]) in STATUSES:
            code = int(name[7:])
            self.reply(code, "<html><body><p>status %d</p></body></html>" % code, "text/html")
        else:
            self.reply(404, NOT_FOUND, "text/html; charset=utf-8")

    def redirect(self, query):
        """A redirect to `to` (an address, or a path on this site), through `n` hops in all."""
        code, hops = query.get("code", "302"), query.get("n", "1")
        if code not in ("301", "302", "303", "307", "308") or not hops.isdigit() or int(hops) < 1 or not query.get("to"):
            self.reply(400, "redirect needs to=<address>, n>=1 and a redirect code\n")
            return
        location = query["to"]
        if int(hops) > 1:
            location = "/test/redirect?" + urlencode({"n": int(hops) - 1, "code": code, "to": location})
        self.reply(int(code), "moved\n", headers=[("Location", location)])

    def control(self, name, query):
        site = self.server.site
        if name == "announce":
            if site.select_announcement(query.get("variant", "")):
                self.reply(200, "ok")
            else:
                self.reply(404, "unknown variant; known: %s\n" % " ".join(site.announcements()))
        elif name == "update":
            error = site.update.configure(query)
            if error:
                self.reply(400, error + "\n")
            else:
                self.reply(200, "ok")
        elif name == "requests":
            self.reply(200, site.log.take(clear=query.get("clear") == "1"))
        elif name == "delay":
            try:
                delays = {server: int(query.get(server, "0")) for server in site.delays}
            except ValueError:
                self.reply(400, "delays are whole milliseconds\n")
                return
            site.delays.update(delays)
            self.reply(200, "ok")
        else:
            self.reply(404, "unknown control request\n")
