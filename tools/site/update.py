"""The update file of the maker's site: byte ranges, and the faults a test can switch on
to see the downloader cope with a server that is less than helpful."""

import os
import socket
import struct
import threading
import time

BLOCK = 64 * 1024
HUGE = 1 << 64  # a size no file has, and no 64-bit number holds
HUGE_TOTAL = 1 << 40  # a size a 64-bit number holds, far beyond the update file's


class UpdateSource:
    """Which file /update/<name> and the FTP server hand out, and which fault is on.

    Faults, with the values each takes:
      none                  ranges honoured (206), Content-Length given
      no-length             no Content-Length and no ranges: the body ends when the connection closes
      no-range              a range request is answered with the whole file (200)
      start-range-only      only a range from the file's start is honoured; any other range request
                            is answered with the whole file (200)
      drop   after          every response stops after `after` bytes of body and the connection closes
      slow   rate           the body trickles at `rate` bytes a second
      404                   the file is not found
      reset  after          as no-length, but the connection is reset after `after` bytes of body
      huge-size             a size no file has: Content-Length 2^64 over HTTP (no ranges), and the
                            same in the FTP server's answer to SIZE
      kill   at times after the next `times` responses for a part that holds byte `at` (not
                            one from the file's start) are reset after `after` bytes of body
      unknown-total after   a range request gets at most `after` bytes from its start, as 206 with
                            an unknown total (`Content-Range: bytes F-L/*`)
      two-lengths           the whole file (200, no ranges) with two Content-Length headers: its
                            length, then half of it
      total-changes         a range not from the file's start names a total one byte larger than
                            the file
      huge-total            the file claims 2^40 bytes: ranges are served against that size (206,
                            `Content-Range: bytes F-L/1099511627776`, a matching Content-Length),
                            with the file's bytes from F as far as they go, then the connection closes
    """

    FAULTS = {
        "none": (),
        "no-length": (),
        "no-range": (),
        "start-range-only": (),
        "drop": ("after",),
        "slow": ("rate",),
        "404": (),
        "reset": ("after",),
        "huge-size": (),
        "kill": ("at", "times", "after"),
        "unknown-total": ("after",),
        "two-lengths": (),
        "total-changes": (),
        "huge-total": (),
    }

    def __init__(self, path):
        self._lock = threading.Lock()
        self._path = path
        self._fault = ("none", {})

    def current(self):
        with self._lock:
            return self._path, self._fault[0], dict(self._fault[1])

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
            values = {}
            for key in self.FAULTS[kind]:
                try:
                    values[key] = int(query.get(key, ""))
                except ValueError:
                    return "%s needs %s=<number>" % (kind, key)
                if values[key] < 0 or (key == "rate" and values[key] == 0):
                    return "%s needs a positive %s" % (kind, key)
            with self._lock:
                self._fault = (kind, values)
        return None

    def kills(self, first, last):
        """Whether the response for bytes first..last is one the kill fault cuts (counted)."""
        with self._lock:
            kind, values = self._fault
            if kind != "kill" or values["times"] == 0 or not 0 < first <= values["at"] <= last:
                return False
            values["times"] -= 1
            return True


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
    path, fault, values = source.current()
    if fault == "404":
        handler.reply(404, "not found\n")
        return
    real_size = os.path.getsize(path)
    size = HUGE_TOTAL if fault == "huge-total" else real_size
    whole_only = fault in ("no-length", "no-range", "reset", "huge-size", "two-lengths")
    ranged = None if whole_only else parse_range(handler.headers.get("Range"), size)
    if fault == "start-range-only" and isinstance(ranged, tuple) and ranged[0] > 0:
        ranged = None
    if ranged == "unsatisfiable":
        handler.reply(416, "", headers=[("Content-Range", "bytes */%d" % size)])
        return
    first, last = ranged or (0, size - 1)
    if fault == "unknown-total" and ranged:
        last = min(last, first + values["after"] - 1)
    length = last - first + 1
    handler.send_response(206 if ranged else 200)
    handler.send_header("Content-Type", "application/octet-stream")
    handler.send_header("Accept-Ranges", "none" if whole_only else "bytes")
    if ranged:
        total = str(size)
        if fault == "unknown-total":
            total = "*"
        elif fault == "total-changes" and first > 0:
            total = str(size + 1)
        handler.send_header("Content-Range", "bytes %d-%d/%s" % (first, last, total))
    if fault in ("no-length", "reset"):
        handler.send_header("Connection", "close")
        handler.close_connection = True
    else:
        handler.send_header("Content-Length", str(HUGE if fault == "huge-size" else length))
    if fault == "two-lengths":
        handler.send_header("Content-Length", str(length // 2))
    handler.end_headers()
    if handler.head_only:
        return
    cut = None  # how the body ends early: "close" or "reset"
    if fault == "drop":
        cut = "close"
    elif fault == "huge-total":
        cut = "close"  # after the bytes the file has: the rest of the claim never comes
    elif fault == "reset" or (fault == "kill" and source.kills(first, last)):
        cut = "reset"
    if cut:
        length = min(length, values.get("after", length))
    try:
        with open(path, "rb") as f:
            f.seek(first)
            send(handler.wfile, f, length, values.get("rate", 0) if fault == "slow" else 0)
    except ConnectionError:
        handler.close_connection = True
        return
    if cut:
        # Cut the connection as a failing server would: the client has its headers
        # and fewer bytes than the file has. A close ends it in order (FIN); a reset
        # (RST) is what a crash or a middlebox gives.
        handler.close_connection = True
        if cut == "reset":
            # Let the bytes sent arrive first. Windows reports a reset to the
            # receive whenever it comes; Wine 8 loses one that arrives behind
            # bytes the client has not read yet (its server's poll takes the
            # error, and the receive then reads an end, as after a close).
            time.sleep(0.2)
            handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            handler.connection.close()
        else:
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
