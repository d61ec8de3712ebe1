"""The request log: every request any of the servers hears, one JSON object a line.

Tests read it to see what the program really sent (request line, headers as they
arrived) and over how many connections (the peer port of each request).
"""

import json
import threading
import time


class RequestLog:
    def __init__(self, path=None):
        self._lock = threading.Lock()
        self._lines = []
        self._file = open(path, "a", encoding="utf-8") if path else None

    def add(self, server, method, path, version, headers, peer_port):
        line = json.dumps(
            {
                "time": round(time.time(), 3),
                "server": server,
                "method": method,
                "path": path,
                "version": version,
                "headers": [[name, value] for name, value in headers],
                "peer_port": peer_port,
            },
            ensure_ascii=False,
        )
        with self._lock:
            self._lines.append(line)
            if self._file:
                self._file.write(line + "\n")
                self._file.flush()

    def take(self, clear=False):
        """The log so far as JSON lines; with clear, it starts afresh in the same step,
        so no request can slip in between reading and emptying."""
        with self._lock:
            text = "".join(line + "\n" for line in self._lines)
            if clear:
                self._lines = []
        return text

    def close(self):
        if self._file:
            self._file.close()
