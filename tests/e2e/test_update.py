"""The update at start, with the real program: the forced update closes the main
window, shows its progress once a second, downloads the stand-in new version,
starts it and ends; a download that fails starts nothing; redirects are
followed and cut parts fetched again; a name that would leave the program's
folder, or that Windows would change, writes and starts nothing; the program
started from another folder still works in its own; with a key built in, only a
signed newer release starts, and a page of the program's own version offers no
update; the file started is the one this run saved, under whatever name it was
saved by, and nothing else is started or deleted.

The update window is photographed while it runs; with LYRIMARK_DOCS_PICTURES=1
in the environment the picture replaces docs/update-progress.png."""

import os
import re
import shutil
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import EndToEnd, Program, wait_until  # noqa: E402

NEW_NAME = "lyrimark_new.exe"  # what the site's announcement pages name
PADDED_SIZE = 1 << 20  # the stand-in padded to 1 MB, so the download spreads over five connections


class UpdateTest(EndToEnd):
    @classmethod
    def setUpClass(cls):
        cls.start_class()
        # The stand-in new version with bytes appended: Windows loads a program
        # whatever follows its image.
        cls.new_version = os.path.join(cls.session.work, "new_version.exe")
        shutil.copy(cls.session.exe("tools", "new_version", "new_version.exe"), cls.new_version)
        with open(cls.new_version, "ab") as f:
            f.write(bytes(PADDED_SIZE - os.path.getsize(cls.new_version)))
        cls.site.control("update?file=" + cls.new_version)

    @classmethod
    def tearDownClass(cls):
        cls.site.control("update?fault=none")
        cls.site.control("announce?variant=runs")

    def start(self, variant, fault="none", cwd=None, program=("src", "lyrimark.exe"), wait=False, files=()):
        """A copy of the program in a directory of its own, which is also its
        current directory unless `cwd` is another: it saves the new version
        there and starts it from there. `files`: (name, bytes) of files already
        in that directory."""
        self.site.control("announce?variant=" + variant)
        self.site.control("update?fault=" + fault)
        self.site.control("requests?clear=1")
        home = tempfile.mkdtemp(prefix="update.", dir=self.session.work)
        exe = shutil.copy(self.session.exe(*program), os.path.join(home, "lyrimark.exe"))
        for name, data in files:
            with open(os.path.join(home, name), "wb") as f:
                f.write(data)
        program = Program.start(self.session, cwd=cwd or home, wait=wait, exe=exe)
        # A test that fails half-way must not leave its watchdog to answer the next test's boxes.
        self.addCleanup(self.session.end, program.watchdog, 0)
        self.addCleanup(self.session.end, program.process, 0)
        return home, program

    def label(self, unit):
        return self.session.probe("update", unit, check=False)

    def gets(self, path):
        return [line for line in self.site.control("requests").splitlines()
                if '"GET"' in line and '"%s' % path in line]

    def update_gets(self):
        return self.gets("/update/")

    def assertStartedNewVersion(self, home, program, name=NEW_NAME):
        """The new version started, once, from `name`, where it was saved."""
        marker = os.path.join(home, name + ".started")
        wait_until(lambda: os.path.exists(marker), 60, "the new version to start")
        self.assertEqual(program.wait_exit(30), 0)
        with open(os.path.join(home, name), "rb") as got, open(self.new_version, "rb") as served:
            self.assertEqual(got.read(), served.read())
        with open(marker, encoding="utf-8") as f:
            self.assertEqual(f.read(), '"%s"' % self.session.wine_path(os.path.join(home, name)))
        self.assertEqual(program.dialogs(), [])
        self.assertEqual([n for n in os.listdir(home) if n.endswith(".started")], [name + ".started"])

    def test_forced_update_shows_progress_and_starts_the_new_version(self):
        # Five connections at 15 KB a second each: about fourteen seconds to watch, time
        # enough for three samples on a busy machine.
        home, program = self.start("forces", "slow&rate=15000")
        wait_until(lambda: self.session.probe("update", check=False), 20, "the update window")
        self.assertEqual(self.session.probe("main", check=False), "", "the main window is closed")

        # One sample of the labels per elapsed second, from the first tick on.
        seen = {}
        deadline = time.monotonic() + 8
        while len(seen) < 3 and time.monotonic() < deadline:
            elapsed = self.label("已用时间")
            if elapsed.startswith("已用时间：") and elapsed not in seen:
                # The labels are read one by one, and ticks may fall between the
                # reads: the bar then lies between the percentages read around it.
                seen[elapsed] = (self.label("下载进度"), self.label("已经下载"), self.label("进度条"),
                                 self.label("下载进度"))
                if len(seen) == 3:
                    self.session.keep_picture("update-progress.png",
                                              [int(v) for v in self.session.probe("update").split()])
            time.sleep(0.2)
        # Every sample a later second (a busy machine may read one second late).
        seconds = [int(re.fullmatch(r"已用时间：0小时0分钟(\d+)秒", e).group(1)) for e in seen]
        self.assertEqual(len(seconds), 3, seconds)
        self.assertLessEqual(seconds[0], 2, seconds)
        self.assertEqual(seconds, sorted(set(seconds)))
        progress = list(seen.values())
        self.assertEqual(len({amount for _, amount, _, _ in progress}), 3,
                         "the amount moves every second: %s" % progress)
        for percent, amount, bar, later in progress:
            self.assertRegex(percent, r"^正在下载\.\.\.已完成：\d+%$")
            self.assertRegex(amount, r"^已经下载：[\d.]+KB/1MB$")
            shown = [int(p[len("正在下载...已完成："):-1]) for p in (percent, later)]
            self.assertTrue(min(shown) - 1 <= int(bar) <= max(shown) + 1, (bar, percent, later))
        self.assertEqual(len({line.split('"peer_port": ')[1] for line in self.update_gets()}), 5)

        self.assertStartedNewVersion(home, program)

    def test_failed_downloads_start_nothing(self):
        # The runs wait side by side, each with the site's fault of its start.
        # Cut after 20 KB a time, each part needs more than its retries; a
        # reset ends a body without length as no end would. A run whose
        # download failed ends at once: nothing was saved, nothing is awaited.
        runs = []
        for fault in ("404", "drop&after=20000", "reset&after=300000"):
            home, program = self.start("forces", fault)
            wait_until(self.update_gets, 20, "the download to begin (%s)" % fault)
            time.sleep(1)  # its connections have met the fault
            runs.append((fault, home, program))
        for fault, home, program in runs:
            with self.subTest(fault):
                self.assertEqual(program.wait_exit(80), 0)
                self.assertEqual(sorted(os.listdir(home)), ["lyrimark.exe"], "no file, partial or whole")

    def test_ftp_address_completes(self):
        home, program = self.start("forces-ftp")
        self.assertStartedNewVersion(home, program)

    def test_redirected_addresses_and_cut_parts_complete(self):
        # Five redirects, the last relative; a redirect to FTP; a part cut twice.
        for variant, fault in (("redirect", "none"), ("redirect-ftp", "none"),
                               ("forces", "kill&at=500000&times=2&after=20000")):
            with self.subTest(variant=variant, fault=fault):
                home, program = self.start(variant, fault)
                self.assertStartedNewVersion(home, program)

    def test_names_that_leave_the_folder_write_and_start_nothing(self):
        drive_c = os.path.join(self.session.env["WINEPREFIX"], "drive_c")
        for variant in ("name-parent", "name-drive", "name-device", "name-empty", "name-final-dot",
                        "name-final-blank", "name-wildcard"):
            with self.subTest(variant):
                home, program = self.start(variant)
                self.assertEqual(program.wait_exit(30), 0)
                self.assertEqual(os.listdir(home), ["lyrimark.exe"])
                for elsewhere in (self.session.work, drive_c):
                    self.assertFalse([n for n in os.listdir(elsewhere) if n.lower().startswith("x.exe")], elsewhere)
                self.assertEqual(self.update_gets(), [], "nothing downloaded")
                self.assertEqual(program.dialogs(), [])

    def test_started_from_another_folder_it_works_in_its_own(self):
        # As from a shortcut whose "Start in" is another folder.
        other = tempfile.mkdtemp(prefix="elsewhere.", dir=self.session.work)
        open(os.path.join(other, "别处.lrc"), "wb").close()
        home, program = self.start("runs", cwd=other, wait=True, files=[("自己.lrc", b"")])
        self.assertEqual(self.session.probe("rows", "文件框1").splitlines(), ["自己.lrc"])
        self.assertEqual(program.text("编辑框1"), self.session.wine_path(home))
        program.stop()

        self.site.control("announce?variant=forces")
        exe = os.path.join(home, "lyrimark.exe")
        self.assertStartedNewVersion(home, Program.start(self.session, cwd=other, exe=exe, wait=False))
        self.assertEqual(os.listdir(other), ["别处.lrc"])

    def signed(self, variant, files=(), fault="none"):
        return self.start(variant, fault, program=("tests", "e2e", "lyrimark_signed.exe"), files=files)

    def test_with_a_key_only_a_signed_newer_release_starts(self):
        home, program = self.signed("signed")
        self.assertStartedNewVersion(home, program)
        refused = [("Lyrimark", "更新文件校验失败，已取消更新")]
        for variant in ("signed-tampered", "signed-wrong-key", "signed-unsigned"):
            with self.subTest(variant):
                home, program = self.signed(variant)
                self.assertEqual(program.wait_exit(60), 0)
                self.assertEqual(program.dialogs(), refused)
                self.assertEqual(os.listdir(home), ["lyrimark.exe"], "no file, partial or whole")
                # What cannot pass is not even fetched.
                self.assertEqual(bool(self.update_gets()), variant != "signed-unsigned")

    def test_with_a_key_a_release_not_newer_is_no_update(self):
        # The new version reads the page that still forces it: it runs.
        for variant in ("signed-current", "signed-older"):
            with self.subTest(variant):
                home, program = self.signed(variant)
                folder = lambda: self.session.probe("text", "编辑框1", check=False)
                wait_until(lambda: folder().endswith(os.path.basename(home)), 20, "start-up to go on")
                self.assertNotEqual(self.session.probe("main", check=False), "")
                self.assertEqual(self.session.probe("update", check=False), "", "no update window")
                self.assertEqual(program.dialogs(), [])
                self.assertEqual(self.update_gets(), [])
                self.assertEqual(program.stop(), 0)

    def test_the_file_saved_is_the_file_started(self):
        # With a key: a release named like the program, and one whose name a
        # file already has, start from the name they were saved under; the old
        # files stay as they were.
        with open(self.new_version, "rb") as f:
            release = f.read()
        program_bytes = open(self.session.exe("tests", "e2e", "lyrimark_signed.exe"), "rb").read()
        for variant, name, old, saved in (("signed-named-like-program", "lyrimark.exe", None, "lyrimark(1).exe"),
                                          ("signed", NEW_NAME, b"MZ an old release", "lyrimark_new(1).exe"),
                                          ("signed", NEW_NAME, release, "lyrimark_new(1).exe")):
            with self.subTest(variant=variant, old=saved):
                home, program = self.signed(variant, [(name, old)] if old else [])
                self.assertStartedNewVersion(home, program, saved)
                with open(os.path.join(home, name), "rb") as f:
                    self.assertEqual(f.read(), old or program_bytes, "the old file is untouched")

        # Without a key, the same for a forced update named like the program:
        # the new file starts once, and the program does not run again.
        home, program = self.start("named-like-program")
        self.assertStartedNewVersion(home, program, "lyrimark(1).exe")
        time.sleep(3)
        self.assertEqual(len(self.gets("/announce.html")), 2, "one run's announcement requests")
        self.assertEqual(sorted(os.listdir(home)), ["lyrimark(1).exe", "lyrimark(1).exe.started", "lyrimark.exe"])

    def test_a_failed_download_deletes_nothing(self):
        # With a key, an unsigned page names a user's file and fails its download:
        # the file stays byte for byte, and the program ends at once.
        song = "[00:01.00]床前明月光\r\n".encode("gbk")
        home, program = self.signed("signed-names-a-song", [("我的歌.lrc", song)], "404")
        self.assertEqual(program.wait_exit(30), 0)
        self.assertEqual(sorted(os.listdir(home)), ["lyrimark.exe", "我的歌.lrc"])
        with open(os.path.join(home, "我的歌.lrc"), "rb") as f:
            self.assertEqual(f.read(), song)
        self.assertEqual(program.dialogs(), [])

    def test_server_without_ranges_completes_on_one_connection(self):
        home, program = self.start("forces", "no-range")
        self.assertStartedNewVersion(home, program)
        self.assertEqual(len(self.update_gets()), 1)


if __name__ == "__main__":
    unittest.main()
