"""The local site as the program's tests use it: started on free ports, spoken to
over real sockets, ended by its PID."""

import base64
import ftplib
import hashlib
import io
import json
import os
import re
import select
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest
from urllib.parse import quote, urlsplit

SITE = os.path.join(os.path.dirname(__file__), "..", "..", "tools", "site", "site.py")
RESULT = re.compile('<font size="-1">(.*?)LRC歌词下载</a>', re.S)
MB = 1 << 20


def lyrics_text(raw):
    """A lyrics file's encoding as the program decides it, and its text: by its
    mark, else UTF-8 when the whole file is that (Python's decoder is as strict)
    and more than ASCII, else GBK."""
    marks = ((b"\xef\xbb\xbf", "utf-8", "marked utf-8"), (b"\xff\xfe", "utf-16-le", "utf-16-le"),
             (b"\xfe\xff", "utf-16-be", "utf-16-be"))
    for mark, codec, name in marks:
        if raw.startswith(mark):
            return raw[len(mark):].decode(codec), name
    try:
        text = raw.decode("utf-8")
        return text, "gbk" if text.isascii() else "utf-8"
    except UnicodeDecodeError:
        return raw.decode("gbk"), "gbk"


def start_site(*options):
    """The process and its four base addresses; fails unless it is ready within 10 s."""
    ports = ["--maker-port", "0", "--lyrics-port", "0", "--ftp-port", "0", "--service-port", "0"]
    args = [sys.executable, SITE, *ports, *options]
    process = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    line = process.stdout.readline() if select.select([process.stdout], [], [], 10)[0] else ""
    if not line.startswith("ready "):
        stop_site(process)
        raise AssertionError("site not ready: %r %r" % (line, process.stderr.read()))
    return process, line.split()[1:]


def stop_site(process, sig=signal.SIGTERM):
    process.send_signal(sig)
    try:
        return process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=5)
        raise


def fetch(address, headers=(), method="GET", version="HTTP/1.0"):
    """One request on its own connection, read until the server closes it, so a body
    without length or one cut short arrives as sent. (status, headers, body, local port)"""
    parts = urlsplit(address)
    with socket.create_connection((parts.hostname, parts.port), timeout=10) as s:
        target = address[len(parts.scheme) + 3 + len(parts.netloc) :]  # as written, "/../" included
        fields = "".join("%s: %s\r\n" % h for h in headers)
        s.sendall(("%s %s %s\r\n%s\r\n" % (method, target, version, fields)).encode())
        data = b""
        while chunk := s.recv(65536):
            data += chunk
        port = s.getsockname()[1]
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    return int(lines[0].split()[1]), dict(line.split(": ", 1) for line in lines[1:]), body, port


def extract_between(text, start, end):
    """The announcement section or a setting, as the program reads them."""
    p = text.find(start)
    q = text.find(end, p + len(start)) if p >= 0 else -1
    return text[p + len(start) : q] if q >= 0 else ""


def read_result(g):
    """Address and name pieces of one search result, as the program takes them apart."""
    names = g[g.rfind(">") + 1 :].split(" ")
    return g[g.find(">", 1) + 1 : g.find("</font>")], names[:-1] if names[-1] == "" else names


class SiteTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        cls.log_file = os.path.join(cls.scratch.name, "requests.jsonl")
        cls.process, (cls.maker, cls.lyrics, cls.ftp, cls.service) = start_site("--log", cls.log_file)
        cls.payload = fetch(cls.maker + "/update/x")[2]
        cls.payload_file = os.path.join(cls.scratch.name, "payload")
        with open(cls.payload_file, "wb") as f:
            f.write(cls.payload)

    @classmethod
    def tearDownClass(cls):
        stop_site(cls.process)
        cls.process.stdout.close()
        cls.process.stderr.close()
        cls.scratch.cleanup()

    def setUp(self):
        self.control("announce?variant=runs")
        self.control("update?fault=none&file=" + quote(self.payload_file))

    def control(self, request, expect=200):
        status, _, body, _ = fetch(self.maker + "/_control/" + request)
        self.assertEqual(status, expect, body)
        return body.decode()

    def announcement(self, variant):
        """The first section of the announcement page while it serves `variant`."""
        self.control("announce?variant=" + variant)
        status, fields, body, _ = fetch(self.maker + "/announce.html")
        self.assertEqual((status, fields["Content-Type"]), (200, "text/html; charset=gbk"))
        return extract_between(body.decode("gbk"), "////开始", "////结束")

    def results(self, keyword):
        status, fields, body, _ = fetch(self.lyrics + "/?keyword=" + quote(keyword, safe="") + "&field=all")
        self.assertEqual((status, fields["Content-Type"]), (200, "text/html; charset=utf-8"))
        return [read_result(g) for g in RESULT.findall(body.decode())], body.decode()

    def names(self, keyword):
        return [names for _, names in self.results(keyword)[0]]

    def ftp_retrieve(self, name):
        with ftplib.FTP() as ftp:
            ftp.connect(urlsplit(self.ftp).hostname, urlsplit(self.ftp).port, timeout=10)
            ftp.login()
            data = []
            ftp.retrbinary("RETR " + name, data.append)
            with self.assertRaises(ftplib.error_perm):  # read-only
                ftp.storbinary("STOR x", io.BytesIO(b"x"))
            return b"".join(data)

    def test_announcement_variants(self):
        yes, no, title = "是", "否", "字幕工具 3.3 正式版"
        first_section = {  # run, title, force, prompt
            "runs": (yes, title, no, no),
            "stops": (no, "字幕工具 维护中", no, no),
            "prompts": (yes, title, no, yes),
            "forces": (yes, title, yes, no),
            "forces-ftp": (yes, title, yes, no),
            "both-updates": (yes, title, yes, yes),
            "runs-bare": (yes, "", "", ""),
            "run-space": ("是 ", title, no, no),
            "no-end": ("", "", "", ""),
            "no-start": ("", "", "", ""),
            "two-sections": (yes, "第一节", no, no),
            "signed": (yes, title, yes, no),
        }
        keys = ("是否正常=", "标题启动=", "是否强制更新=", "是否提示更新=")
        for variant, expected in first_section.items():
            with self.subTest(variant):
                section = self.announcement(variant)
                self.assertEqual(tuple(extract_between(section, key, "</p>") for key in keys), expected)
                if yes in expected[2:]:
                    # The update the page names is this site's file, on whatever port it runs.
                    address = extract_between(section, "自动更新地址=", "</p>")
                    self.assertEqual(extract_between(section, "程序名字=", "</p>"), "lyrimark_new.exe")
                    ftp = address.startswith(self.ftp + "/")
                    got = self.ftp_retrieve(urlsplit(address).path) if ftp else fetch(address)[2]
                    self.assertEqual(got, self.payload)
        # The section-less page still holds a yes before the end marker: a reader that
        # searched without the start marker would wrongly run.
        self.assertIn("是否正常=是</p>", fetch(self.maker + "/announce/no-start.html")[2].decode("gbk"))
        self.assertIn("unknown variant", self.control("announce?variant=gone", expect=404))
        self.assertIn("////开始", fetch(self.maker + "/announce.html")[2].decode("gbk"))

    def test_signed_variants_carry_what_the_program_checks(self):
        sys.path.insert(0, os.path.join(os.path.dirname(SITE), "..", "sign_update"))
        import sign_update
        from cryptography.exceptions import InvalidSignature
        from cryptography.hazmat.primitives import hashes
        from cryptography.hazmat.primitives.asymmetric import ec, utils

        with open(os.path.join(os.path.dirname(SITE), "update_key.pub")) as f:
            public = base64.b64decode(f.read().strip())
        key = ec.EllipticCurvePublicKey.from_encoded_point(ec.SECP256R1(), b"\x04" + public)
        sha = hashlib.sha256(self.payload).hexdigest()

        def verifies(variant):
            section = self.announcement(variant)
            version, name, signature = (extract_between(section, k, "</p>") for k in ("更新版本=", "程序名字=", "更新签名="))
            if not signature:
                return None
            rs = base64.b64decode(signature)
            der = utils.encode_dss_signature(int.from_bytes(rs[:32], "big"), int.from_bytes(rs[32:], "big"))
            try:
                key.verify(der, sign_update.signed_text(version.encode(), name.encode("gbk"), sha),
                           ec.ECDSA(hashes.SHA256()))
                return version
            except InvalidSignature:
                return False

        expected = {"signed": "9.9", "signed-older": "3.2", "signed-tampered": False, "signed-wrong-key": False,
                    "signed-unsigned": None, "signed-current": "3.3", "signed-named-like-program": "9.9"}
        self.assertEqual({v: verifies(v) for v in expected}, expected)

    def test_redirects_and_hostile_names(self):
        location = "/test/redirect?n=3&code=308&to=/update/a.exe"
        for hop in range(3):
            status, fields, _, _ = fetch(self.maker + location)
            self.assertEqual(status, 308)
            location = fields["Location"]
        self.assertEqual(location, "/update/a.exe")
        self.assertEqual(fetch(self.maker + "/test/redirect?to=" + quote(self.ftp + "/x.exe"))[1]["Location"],
                         self.ftp + "/x.exe")
        self.assertEqual(fetch(self.maker + "/test/redirect?code=300&to=/")[0], 400)
        for variant, name in (("name-parent", "..\\x.exe"), ("name-drive", "C:\\x.exe"), ("name-empty", "")):
            self.assertEqual(extract_between(self.announcement(variant), "程序名字=", "</p>"), name)

    def test_update_ranges(self):
        self.assertEqual(len(self.payload), MB)
        for header, status, content_range, part in (
            ("bytes=100-199", 206, "bytes 100-199/%d" % MB, slice(100, 200)),
            ("bytes=-10", 206, "bytes %d-%d/%d" % (MB - 10, MB - 1, MB), slice(MB - 10, MB)),
            ("bytes=0-%d" % (2 * MB), 206, "bytes 0-%d/%d" % (MB - 1, MB), slice(0, MB)),
            ("bytes=%d-" % MB, 416, "bytes */%d" % MB, slice(0, 0)),
        ):
            with self.subTest(header):
                got, fields, body, _ = fetch(self.maker + "/update/a.exe", [("Range", header)])
                self.assertEqual((got, fields.get("Content-Range"), body), (status, content_range, self.payload[part]))
                self.assertEqual(int(fields["Content-Length"]), len(body))
        got, fields, body, _ = fetch(self.maker + "/update/a.exe", method="HEAD")
        self.assertEqual((got, fields["Content-Length"], fields["Accept-Ranges"], body), (200, str(MB), "bytes", b""))

    def test_update_faults(self):
        ranged = [("Range", "bytes=0-9999")]
        self.control("update?fault=no-length")
        status, fields, body, _ = fetch(self.maker + "/update/a.exe", ranged)
        self.assertEqual((status, "Content-Length" in fields, body), (200, False, self.payload))

        self.control("update?fault=no-range")
        status, fields, body, _ = fetch(self.maker + "/update/a.exe", ranged)
        self.assertEqual((status, fields["Content-Length"], body), (200, str(MB), self.payload))

        self.control("update?fault=drop&after=1000")
        for headers, status, length in (([], 200, MB), (ranged, 206, 10000), (ranged, 206, 10000)):
            got, fields, body, _ = fetch(self.maker + "/update/a.exe", headers)
            self.assertEqual((got, int(fields["Content-Length"]), body), (status, length, self.payload[:1000]))

        self.control("update?fault=slow&rate=50000")
        began = time.monotonic()
        self.assertEqual(fetch(self.maker + "/update/a.exe", [("Range", "bytes=0-24999")])[2], self.payload[:25000])
        self.assertGreater(time.monotonic() - began, 0.3)

        self.control("update?fault=404")
        self.assertEqual(fetch(self.maker + "/update/a.exe")[0], 404)
        for bad in ("fault=often", "fault=drop", "fault=slow&rate=0", "fault=kill&at=1&times=1", "file=/no/such/file"):
            self.control("update?" + bad, expect=400)

    def test_update_file_switch_and_ftp(self):
        self.assertEqual(self.ftp_retrieve("/lyrimark_new.exe"), self.payload)
        other = os.path.join(self.scratch.name, "new.exe")
        with open(other, "wb") as f:
            f.write(b"MZ new version")
        self.control("update?file=" + quote(other))
        self.assertEqual(fetch(self.maker + "/update/lyrimark_new.exe")[2], b"MZ new version")
        self.assertEqual(self.ftp_retrieve("anything.exe"), b"MZ new version")

    def test_search(self):
        [(address, names)] = self.results("静夜思")[0]
        self.assertEqual(names, ["李白", "静夜思"])
        self.assertTrue(address.startswith(self.lyrics + "/lrc/"), address)
        self.assertIn("[ti:静夜思]", fetch(address)[2].decode("gbk"))
        self.assertEqual(self.names("moon"), [["Moon乐队", "月下独酌"]])
        self.assertEqual(self.names("A+B"), [["A+B组合", "春江花月夜"]])
        self.assertEqual(self.names("无名"), [["无名小调"]])
        self.assertEqual(len(self.names("李白")), 3)
        hostile = ["..\\..\\逃出目录", "子目录/斜杠歌", "..", "C:盘符歌", "CON", "NUL", "com1"]
        self.assertEqual([n[1] for n in self.names("越界")], hostile)
        # 錦 in GBK ends in the backslash byte; the page carries it as UTF-8 all the same.
        self.assertEqual(self.names("錦瑟")[0][1].encode("gbk"), b"\xe5\x5c\xc9\xaa")
        results, page = self.results("没有这首歌")
        self.assertEqual(results, [])
        self.assertIn("没有找到相关", page)

    def test_catalogue(self):
        """All the empty keyword lists, fetched: in every encoding a player meets,
        CR LF, with the tags and the awkward lines a player has to handle."""
        results = self.results("")[0]
        self.assertEqual(len(results), 23)
        starts_at_zero, encodings = 0, set()
        for address in {address for address, _ in results}:
            with self.subTest(address):
                text, encoding = lyrics_text(fetch(address)[2])
                encodings.add(encoding)
                lines = text.split("\r\n")
                self.assertNotIn("\n", "".join(lines))
                self.assertTrue(lines[0].startswith("[ti:") and lines[1].startswith("[ar:"))
                self.assertIn("", lines[4:-1])  # a blank line among the timed ones
                self.assertTrue(any(re.fullmatch(r"\[\d\d:\d\d\.\d\d\]", line) for line in lines))
                starts_at_zero += lines[4].startswith("[00:00.00]")
        self.assertEqual(starts_at_zero, 1)
        self.assertEqual(encodings, {"gbk", "utf-8", "marked utf-8", "utf-16-le", "utf-16-be"})
        # A title outside GBK, for a file name that GBK cannot spell.
        self.assertIn(["日本古謡", "さくら・さくら"], [names for _, names in results])
        self.assertEqual(fetch(self.lyrics + "/lrc/../index.tsv")[0], 404)

    def test_request_log(self):
        self.control("requests?clear=1")
        headers = [("User-Agent", "Mozilla/4.0 (test)"), ("Accept", "*/*"), ("Accept", "*/*"), ("Pragma", "no-cache")]
        path = "/?keyword=%E9%9D%99%20%2B&field=all"
        port = fetch(self.lyrics + path, headers)[3]
        fetch(self.maker + "/test/bytes?n=10", [("Host", "x"), ("Connection", "close")], version="HTTP/1.1")
        entries = [json.loads(line) for line in self.control("requests?clear=1").splitlines()]
        self.assertEqual(
            [(e["server"], e["method"], e["path"], e["version"], e["headers"]) for e in entries],
            [
                ("lyrics", "GET", path, "HTTP/1.0", [list(h) for h in headers]),
                ("maker", "GET", "/test/bytes?n=10", "HTTP/1.1", [["Host", "x"], ["Connection", "close"]]),
            ],
        )
        self.assertEqual(entries[0]["peer_port"], port)
        self.assertEqual(self.control("requests"), "")
        with open(self.log_file, encoding="utf-8") as f:
            self.assertEqual([json.loads(line) for line in f][-2:], entries)

    def test_service(self):
        def search(words):
            status, fields, body, _ = fetch(self.service + "/api/search?q=" + quote(words, safe=""))
            return status, fields, body

        status, fields, body = search("月")
        self.assertEqual((status, fields["Content-Type"]), (200, "application/json"))
        tracks = json.loads(body)
        self.assertEqual(
            [(t["trackName"], t["artistName"], t["instrumental"], t["syncedLyrics"] is None) for t in tracks],
            [
                ("枫桥夜泊", "张继", False, False),
                ("水调歌头", "苏轼", False, False),
                ("登幽州台歌", "陈子昂", False, True),
                ("渔舟唱晚", "古筝合奏", True, True),
                ("月光\U0001D11E之歌", "한강 乐队", False, False),
            ],
        )
        self.assertEqual(sorted(tracks[0]), sorted("id name trackName artistName albumName duration "
                                                   "instrumental plainLyrics syncedLyrics".split()))
        self.assertIn(b'"trackName": "\\u6708\\u5149\\ud834\\udd1e', body)  # escaped, as a surrogate pair
        self.assertIn("[00:05.00]", json.loads(search("清明")[2])[0]["syncedLyrics"].split("\r\n")[1])
        self.assertEqual(search("李白")[::2], (200, b"[]"))
        self.assertEqual(json.loads(search("王之涣")[2])["statusCode"], 404)
        status, _, body = search("孟浩然")
        self.assertEqual((status, json.loads(body)[0]["trackName"]), (500, "枫桥夜泊"))
        status, fields, _ = search("王维")
        self.assertEqual((status, fields["Retry-After"]), (429, "60"))
        status, fields, body = search("孟郊")
        self.assertTrue(status == 200 and 0 < len(body) < int(fields["Content-Length"]))  # cut in the middle

        # One song by its title and artist, as the service compares them, and its length within 2 s.
        def song(query):
            status, _, body, _ = fetch(self.service + "/api/get?" + query)
            return status, json.loads(body)

        title, artist = quote("水调歌头"), quote("苏轼")
        for query in ("track_name=%s&artist_name=%s" % (title, artist),
                      "track_name=%s!&artist_name=%s&duration=%d" % (title, artist, tracks[1]["duration"] + 2)):
            self.assertEqual(song(query), (200, tracks[1]), query)
        for query in ("track_name=%s&artist_name=x" % title,
                      "track_name=%s&artist_name=%s&duration=%d" % (title, artist, tracks[1]["duration"] + 3)):
            self.assertEqual(song(query)[0], 404, query)

    def test_maker_pages(self):
        status, fields, body, _ = fetch(self.maker + "/test/no-length")
        self.assertEqual((status, "Content-Length" in fields, len(body)), (200, False, 50000))
        _, fields, body, _ = fetch(self.maker + "/test/bytes?n=12345")
        self.assertEqual((fields["Content-Length"], body), ("12345", (bytes(range(33, 122)) * 139)[:12345]))
        self.assertEqual(fetch(self.maker + "/test/status/503")[::2], (503, b"<html><body><p>status 503</p></body></html>"))
        echo = fetch(self.maker + "/test/echo", [("Accept", "*/*")])[2]
        self.assertEqual(echo, b"GET /test/echo HTTP/1.0\r\nAccept: */*\r\n")
        for page in ("/", "/fans/"):
            status, fields, body, _ = fetch(self.maker + page)
            self.assertEqual((status, fields["Content-Type"]), (200, "text/html; charset=utf-8"))
            self.assertNotIn(b"@MAKER@", body)
        self.assertEqual(fetch(self.maker + "/../tools/site/site.py")[0], 404)


class StartStopTest(unittest.TestCase):
    def test_signals_end_it_cleanly_and_a_busy_port_stops_the_start(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            process, (maker, _, _, _) = start_site()
            port = urlsplit(maker).port
            with process, socket.create_connection(("127.0.0.1", port)):
                args = [sys.executable, SITE, "--maker-port", str(port)]
                busy = subprocess.run(args, capture_output=True, text=True, timeout=10)
                self.assertEqual((busy.returncode, busy.stdout), (1, ""))
                self.assertIn("site:", busy.stderr)
                # An idle open connection must not hold up the end, and nothing is printed.
                self.assertEqual(stop_site(process, sig), 0)
                self.assertEqual((process.stdout.read(), process.stderr.read()), ("", ""))


if __name__ == "__main__":
    unittest.main()
