"""The update file of the maker's site: byte ranges, and the faults a test can switch on
to see the downloader cope with a server that is less than helpful."""

import os
import socket
import threading
import time

BLOCK = 64 * 1024


class UpdateSource:
    """Which file /update/<name> and the FTP server hand out, and which fault is on.

    Faults (amount is the byte count of "drop" and the rate of "slow"):
      none       ranges honoured (206), Content-Length given
      no-length  no Content-Length and no ranges: the body ends when the connection closes
      no-range   a range request is answered with the whole file (200)
      drop       every response stops after `amount` bytes of body and the connection closes
      slow       the body trickles at `amount` bytes a second
      404        the file is not found
    """

    FAULTS = ("none", "no-length", "no-range", "drop", "slow", "404")

    def __init__(self, path):
        self._lock = threading.Lock()
        self._path = path
        self._fault = ("none", 0)

    def current(self):
        with self._lock:
            return self._path, self._fault

    def configure(self, query):
        """Apply a control request's values; returns an error text, or None."""
        if "file" in query:
            path = os.path.abspath(query["file"])
            if not os.path.isfile(path):
                return "no such file: %s" % query["file"]
            with self._lock:
                self._path = path
        if "fault" in query:
            kind = query["fault"]
            if kind not in self.FAULTS:
                return "unknown fault: %s" % kind
            amount = 0
            if kind in ("drop", "slow"):
                key = "after" if kind == "drop" else "rate"
                try:
                    amount = int(query.get(key, ""))
                except ValueError:
                    return "%s needs %s=<bytes>" % (kind, key)
                if amount < 0 or (kind == "slow" and amount == 0):
                    return "%s needs a positive %s" % (kind, key)
            with self._lock:
                self._fault = (kind, amount)
        return None


def parse_range(header, size):
    """The one byte range a Range header asks for, as (first, last); None to send the
    whole file (no header, or one we don't serve: malformed or several ranges);
    "unsatisfiable" when it lies beyond the file."""
    if not header or not header.startswith("bytes=") or "," in header:
        return None
    first, dash, last = header[6:].strip().partition("-")
    if not dash or not (first + last).isdigit():
        return None
    if not first:  # the last N bytes
        if int(last) == 0 or size == 0:
            return "unsatisfiable"
        return max(0, size - int(last)), size - 1
    first = int(first)
    last = min(int(last), size - 1) if last else size - 1
    if first >= size:
        return "unsatisfiable"
    if last < first:
        return None
    return first, last


def serve_update(handler, source):
    path, (fault, amount) = source.current()
    if fault == "404":
        handler.reply(404, "not found\n")
        return
    size = os.path.getsize(path)
    ranged = parse_range(handler.headers.get("Range"), size) if fault not in ("no-length", "no-range") else None
    if ranged == "unsatisfiable":
        handler.reply(416, "", headers=[("Content-Range", "bytes */%d" % size)])
        return
    first, last = ranged or (0, size - 1)
    length = last - first + 1
    handler.send_response(206 if ranged else 200)
    handler.send_header("Content-Type", "application/octet-stream")
    handler.send_header("Accept-Ranges", "bytes" if fault in ("none", "drop", "slow") else "none")
    if ranged:
        handler.send_header("Content-Range", "bytes %d-%d/%d" % (first, last, size))
    if fault == "no-length":
        handler.send_header("Connection", "close")
        handler.close_connection = True
    else:
        handler.send_header("Content-Length", str(length))
    handler.end_headers()
    if handler.head_only:
        return
    if fault == "drop":
        length = min(length, amount)
    try:
        with open(path, "rb") as f:
            f.seek(first)
            send(handler.wfile, f, length, amount if fault == "slow" else 0)
    except ConnectionError:
        handler.close_connection = True
        return
    if fault == "drop":
        # Cut the connection as a failing server would: the client has its headers
        # and fewer bytes than they promised.
        handler.close_connection = True
        handler.connection.shutdown(socket.SHUT_RDWR)


def send(out, f, length, rate):
    """Copy length bytes from f to out; at rate bytes a second when rate is given,
    in pieces of a tenth of a second so the trickle is steady."""
    start = time.monotonic()
    sent = 0
    block = max(1, rate // 10) if rate else BLOCK
    while sent < length:
        data = f.read(min(block, length - sent))
        if not data:
            break
        out.write(data)
        sent += len(data)
        if rate:
            delay = start + sent / rate - time.monotonic()
            if delay > 0:
                time.sleep(delay)
