#!/usr/bin/python3
"""The local stand-in for the maker's server, the lyrics site and the synced-lyrics
service, on loopback.

Prints "ready <maker> <lyrics> <ftp> <service>" (the four base addresses) once every listener
accepts, then serves until SIGTERM or SIGINT. See README.md for what it serves.
"""

import argparse
import logging
import os
import random
import signal
import sys
import tempfile
import threading

from announce import Announcements
from ftp import make_ftp_server
from httpbase import Server
from lyrics import Catalogue, LyricsHandler
from maker import MakerHandler
from requestlog import RequestLog
from service import ServiceCatalogue, ServiceHandler
from update import UpdateSource

HERE = os.path.dirname(os.path.abspath(__file__))
REPOSITORY = os.path.dirname(os.path.dirname(HERE))


class Site:
    """What the servers share: pages, catalogues, update file, announcement, log."""

    def __init__(self, pages, catalogue, update_file, announcement, log):
        self.pages = os.path.abspath(pages)
        self.catalogue = Catalogue(catalogue)
        self.service = ServiceCatalogue(os.path.join(HERE, "service"))
        # Milliseconds the lyrics site's and the service's answers wait (a control request sets them).
        self.delays = {"lyrics": 0, "service": 0}
        self.update = UpdateSource(update_file)
        self.log = log
        self.addresses = {}  # maker, lyrics, ftp, service: filled in once the ports are bound
        self._announcements = Announcements(self.pages)
        self._announcement = None
        if not self.select_announcement(announcement):
            known = " ".join(self.announcements())
            raise ValueError("unknown announcement variant %r; known: %s" % (announcement, known))

    def announcements(self):
        return self._announcements.names()

    def select_announcement(self, variant):
        if variant not in self.announcements():
            return False
        self._announcement = variant
        return True

    def announcement_page(self):
        """The chosen variant as served: GBK bytes, signed over the update file when it is a signed page."""
        page = self._announcements.page(self._announcement)
        return self._announcements.sign(page, self.update.current()[0])


def parse_options(argv):
    p = argparse.ArgumentParser(description="Local maker's site, lyrics site, FTP server and lyrics service on 127.0.0.1.")
    p.add_argument("--maker-port", type=int, default=18080, help="maker's site (0: any free port)")
    p.add_argument("--lyrics-port", type=int, default=18081, help="lyrics site (0: any free port)")
    p.add_argument("--ftp-port", type=int, default=18021, help="FTP server (0: any free port)")
    p.add_argument("--service-port", type=int, default=18082, help="synced-lyrics service (0: any free port)")
    p.add_argument("--announce", default="runs", help="announcement variant served first (a file in site/announce/)")
    p.add_argument("--update-file", help="file served as /update/<name> and over FTP (default: 1 MB of test bytes)")
    p.add_argument("--log", help="append every request to this file as JSON lines")
    p.add_argument("--stderr-log", help="diagnostics go here (default: discarded)")
    p.add_argument("--pages", default=os.path.join(REPOSITORY, "site"), help=argparse.SUPPRESS)
    p.add_argument("--catalogue", default=os.path.join(HERE, "catalogue"), help=argparse.SUPPRESS)
    return p.parse_args(argv)


def write_test_payload(directory):
    """1 MB of fixed pseudo-random bytes: compresses badly, and the same on every run."""
    path = os.path.join(directory, "payload.bin")
    with open(path, "wb") as f:
        f.write(random.Random(1).randbytes(1 << 20))
    return path


def main(argv):
    stop = threading.Event()
    for sig in (signal.SIGTERM, signal.SIGINT):
        signal.signal(sig, lambda *_: stop.set())
    options = parse_options(argv)
    scratch = tempfile.TemporaryDirectory(prefix="lyrimark-site-")
    ftp_root = os.path.join(scratch.name, "ftp")
    os.mkdir(ftp_root)
    log = RequestLog(options.log)
    try:
        update_file = os.path.abspath(options.update_file or write_test_payload(scratch.name))
        if not os.path.isfile(update_file):
            raise ValueError("no such update file: %s" % options.update_file)
        site = Site(options.pages, options.catalogue, update_file, options.announce, log)
        servers = [
            Server("maker", options.maker_port, MakerHandler, site),
            Server("lyrics", options.lyrics_port, LyricsHandler, site),
            Server("service", options.service_port, ServiceHandler, site),
        ]
        ftp = make_ftp_server(options.ftp_port, site, ftp_root)
    except (OSError, ValueError) as error:
        print("site: %s" % error, file=sys.stderr)
        return 1
    site.addresses = {
        "maker": servers[0].origin,
        "lyrics": servers[1].origin,
        "ftp": "ftp://%s:%d" % ftp.address[:2],
        "service": servers[2].origin,
    }

    # From here on nothing reaches the terminal but the ready line.
    sys.stderr = open(options.stderr_log or os.devnull, "a", buffering=1)
    logging.basicConfig(stream=sys.stderr, level=logging.INFO)
    threads = [threading.Thread(target=s.serve_forever, kwargs={"poll_interval": 0.1}) for s in servers]
    threads.append(threading.Thread(target=serve_ftp, args=(ftp, stop)))
    for t in threads:
        t.start()
    print("ready %(maker)s %(lyrics)s %(ftp)s %(service)s" % site.addresses, flush=True)

    stop.wait()
    for s in servers:
        s.shutdown()
        s.server_close()
    for t in threads:
        t.join()
    log.close()
    scratch.cleanup()
    return 0


def serve_ftp(ftp, stop):
    # The FTP server's own loop would only end on a signal to the main thread;
    # turning it in short rounds lets it end with the others.
    while not stop.is_set():
        ftp.serve_forever(timeout=0.1, blocking=False)
    ftp.close_all()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
