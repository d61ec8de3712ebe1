"""The announcement page read at every start, with the real program: each
variant of the page as the local site serves it, and the site down."""

import os
import socket
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import EndToEnd, Program, wait_until  # noqa: E402

SERVER_FAULT = ("无法连接到服务器", "服务器故障，请重试")
UPDATE_QUESTION = ("字幕工具版本更新提示：", "当前程序已经有更新版本,是否更新")
UPDATE_WINDOW = "在线更新中请稍后"
MAKER_PORT = 18080


def update_window_open(session):
    """Whether the update window shows (found by its title, as the main window may be gone)."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % UPDATE_WINDOW],
                           env=session.env, capture_output=True, timeout=20)
    return found.returncode == 0


class AnnouncementTest(EndToEnd):
    @classmethod
    def setUpClass(cls):
        cls.start_class()

    def start(self, variant, answer="ok", wait=True):
        self.site.control("announce?variant=" + variant)
        return Program.start(self.session, answer=answer, wait=wait)

    def assertRuns(self, program, title):
        self.assertEqual(program.title(), title)
        # Start-up went on after the check: the folder field names the program's directory.
        wait_until(lambda: program.text("编辑框1").endswith("\\src"), 5, "编辑框1 to be set")

    def test_runs_with_the_pages_title(self):
        for variant, title in (("runs", "字幕工具 3.3 正式版"), ("runs-bare", ""), ("two-sections", "第一节")):
            with self.subTest(variant):
                program = self.start(variant)
                try:
                    self.assertRuns(program, title)
                    self.assertEqual(program.dialogs(), [])
                finally:
                    rc = program.stop()  # a failing case leaves no window to the next
                self.assertEqual(rc, 0)

    def test_anything_but_yes_stops_the_program(self):
        for variant in ("stops", "run-space", "no-end", "no-start"):
            with self.subTest(variant):
                program = self.start(variant, wait=False)
                self.assertEqual(program.wait_exit(30), 0)
                self.assertEqual(program.dialogs(), [SERVER_FAULT])

    def test_offered_update_declined(self):
        program = self.start("prompts", answer="no")
        wait_until(program.dialogs, 10, "the question")
        self.assertEqual(program.dialogs(), [UPDATE_QUESTION])
        self.assertRuns(program, "字幕工具 3.3 正式版")
        self.assertFalse(update_window_open(self.session))
        self.assertEqual(program.stop(), 0)

    def test_closing_the_window_during_the_question_ends_the_program(self):
        # The window exists, not yet shown, while the question waits for its answer.
        program = self.start("prompts", answer=None, wait=False)
        wait_until(program.dialogs, 20, "the question")
        rc, seconds = program.close_and_time()
        self.assertEqual(rc, 0)
        self.assertLess(seconds, 1.5)
        self.assertFalse(update_window_open(self.session))

    def test_offered_update_taken_and_forced_and_offered(self):
        # The update file trickles, so nothing is downloaded or started while the test looks.
        self.site.control("update?fault=slow&rate=1000")
        try:
            for variant, asked in (("prompts", [UPDATE_QUESTION]), ("both-updates", [])):
                with self.subTest(variant):
                    program = self.start(variant, answer="yes", wait=False)
                    try:
                        wait_until(lambda: update_window_open(self.session), 20, "the update window")
                        self.assertEqual(program.dialogs(), asked)
                    finally:
                        self.session.end(program.process, grace=0)
                        self.session.end(program.watchdog, grace=0)
        finally:
            self.site.control("update?fault=none")

    def test_closing_the_forced_update_then_taking_the_offered_one(self):
        # Forced and offered: the user closes the forced update's window, and
        # the question follows; yes opens the update window again.
        self.site.control("update?fault=slow&rate=1000")
        try:
            program = self.start("both-updates", answer="yes", wait=False)
            try:
                wait_until(lambda: update_window_open(self.session), 20, "the update window")
                self.session.probe("update", "--close")
                wait_until(program.dialogs, 20, "the question")
                wait_until(lambda: update_window_open(self.session), 20, "the update window again")
                self.assertEqual(program.dialogs(), [UPDATE_QUESTION])
                self.assertIsNone(program.process.poll(), "the program runs on")
            finally:
                self.session.end(program.process, grace=0)
                self.session.end(program.watchdog, grace=0)
        finally:
            self.site.control("update?fault=none")


def port_taken(port):
    with socket.socket() as s:
        return s.connect_ex(("127.0.0.1", port)) == 0


class SiteDownTest(EndToEnd):
    def test_no_page_stops_the_program(self):
        self.start_session()
        # Another run's site may still be ending.
        wait_until(lambda: not port_taken(MAKER_PORT), 30, "port %d to be free: the site down" % MAKER_PORT, 0.5)
        program = Program.start(self.session, wait=False)
        self.assertEqual(program.wait_exit(30), 0)
        self.assertEqual(program.dialogs(), [SERVER_FAULT])


if __name__ == "__main__":
    unittest.main()
