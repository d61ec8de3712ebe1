"""The update at start, with the real program: the forced update closes the main
window, shows its progress once a second, downloads the stand-in new version,
starts it and ends; a download that fails starts nothing.

The update window is photographed while it runs; with LYRIMARK_DOCS_PICTURES=1
in the environment the picture replaces docs/update-progress.png."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import ROOT, Program, Session, Site, wait_until  # noqa: E402

NEW_NAME = "lyrimark_new.exe"  # what the site's announcement pages name
PADDED_SIZE = 1 << 20  # the stand-in padded to 1 MB, so the download spreads over five connections


class UpdateTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = Session()
        cls.addClassCleanup(cls.session.close)
        cls.site = Site.start(cls.session)
        cls.addClassCleanup(cls.site.stop)
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

    def start(self, variant, fault="none"):
        """A copy of the program in a directory of its own, which is also its
        current directory: it saves the new version there and starts it from there."""
        self.site.control("announce?variant=" + variant)
        self.site.control("update?fault=" + fault)
        self.site.control("requests?clear=1")
        home = tempfile.mkdtemp(prefix="update.", dir=self.session.work)
        shutil.copy(self.session.exe("src", "lyrimark.exe"), home)
        fd, dialogs = tempfile.mkstemp(prefix="dialogs.", suffix=".log", dir=self.session.work)
        os.close(fd)
        watchdog = self.session.spawn(self.session.exe("tools", "probe", "probe.exe"), "watch",
                                      self.session.wine_path(dialogs), "--close", "ok", name="watchdog")
        process = self.session.spawn(os.path.join(home, "lyrimark.exe"), name="lyrimark", cwd=home)
        return home, Program(self.session, process, watchdog, dialogs, wait=False)

    def label(self, unit):
        return self.session.probe("update", unit, check=False)

    def update_gets(self):
        return [line for line in self.site.control("requests").splitlines()
                if '"GET"' in line and '"/update/' + NEW_NAME in line]

    def assertStartedNewVersion(self, home, program):
        marker = os.path.join(home, NEW_NAME + ".started")
        wait_until(lambda: os.path.exists(marker), 60, "the new version to start")
        self.assertEqual(program.wait_exit(30), 0)
        with open(os.path.join(home, NEW_NAME), "rb") as got, open(self.new_version, "rb") as served:
            self.assertEqual(got.read(), served.read())
        with open(marker, encoding="utf-8") as f:
            self.assertEqual(f.read(), '"%s"' % self.session.wine_path(os.path.join(home, NEW_NAME)))
        self.assertEqual(program.dialogs(), [])

    def test_forced_update_shows_progress_and_starts_the_new_version(self):
        # Five connections at 25 KB a second each: about eight seconds to watch.
        home, program = self.start("forces", "slow&rate=25000")
        wait_until(lambda: self.session.probe("update", check=False), 20, "the update window")
        self.assertEqual(self.session.probe("main", check=False), "", "the main window is closed")

        # One sample of the labels per elapsed second, from the first tick on.
        seen = {}
        deadline = time.monotonic() + 8
        while len(seen) < 3 and time.monotonic() < deadline:
            elapsed = self.label("已用时间")
            if elapsed.startswith("已用时间：") and elapsed not in seen:
                # The labels are read one by one, and a tick may fall between the
                # reads: the bar then matches the percentage read after it.
                seen[elapsed] = (self.label("下载进度"), self.label("已经下载"), self.label("进度条"),
                                 self.label("下载进度"))
                if len(seen) == 3:
                    self.keep_screenshot()
            time.sleep(0.2)
        self.assertEqual(list(seen), ["已用时间：0小时0分钟%d秒" % s for s in (1, 2, 3)])
        progress = list(seen.values())
        self.assertEqual(len({amount for _, amount, _, _ in progress}), 3,
                         "the amount moves every second: %s" % progress)
        for percent, amount, bar, later in progress:
            self.assertRegex(percent, r"^正在下载\.\.\.已完成：\d+%$")
            self.assertRegex(amount, r"^已经下载：[\d.]+KB/1MB$")
            shown = [int(p[len("正在下载...已完成："):-1]) for p in (percent, later)]
            self.assertLessEqual(min(abs(int(bar) - p) for p in shown), 1, (bar, percent, later))
        self.assertEqual(len({line.split('"peer_port": ')[1] for line in self.update_gets()}), 5)

        self.assertStartedNewVersion(home, program)

    def keep_screenshot(self):
        left, top, right, bottom = (int(v) for v in self.session.probe("update").split())
        path = os.path.join(self.session.work, "update-progress.png")
        subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (right - left + 16, bottom - top + 16,
                                                                            left - 8, top - 8), "+repage", path],
                       env=self.session.env, timeout=30, check=True)
        if os.environ.get("LYRIMARK_DOCS_PICTURES") == "1":
            shutil.copy(path, os.path.join(ROOT, "docs", "update-progress.png"))

    def test_failed_downloads_start_nothing(self):
        # The program looks for the file for about fifty seconds before it ends:
        # both runs wait side by side, each with the site's fault of its start.
        runs = []
        for fault in ("404", "drop&after=20000"):
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

    def test_server_without_ranges_completes_on_one_connection(self):
        home, program = self.start("forces", "no-range")
        self.assertStartedNewVersion(home, program)
        self.assertEqual(len(self.update_gets()), 1)


if __name__ == "__main__":
    unittest.main()
