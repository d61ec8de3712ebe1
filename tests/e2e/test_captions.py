"""The two caption modes of the advert page, end to end: the finder drops on the
stand-in target's nickname field, then the scroller and the advert board write
into it, all with real clicks and typing. What arrives is read from the
target's message log (every character message) and its field's text."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import EndToEnd, gbk, wait_until  # noqa: E402

START, STOP = "开始滚动", "停止滚动"
NICKNAME = "马甲Nick"
ROWS = ["甲一", "B2", "C3"]


class CaptionTest(EndToEnd):
    @classmethod
    def setUpClass(cls):
        cls.start_class(target={}, program={}, pick=True)
        cls.program.show_page(3)

    def setUp(self):
        self.set_restore(False)

    def tearDown(self):
        if self.program.process.poll() is not None:
            return  # the last test closes the program
        for button in ("按钮1", "按钮5"):
            if self.program.text(button) == STOP:
                self.program.click_unit(button)

    # Helpers. Typing is real in the first test; from then on the edit boxes are
    # set from outside (set_text): every caption moves the keyboard focus to the
    # target's field, and under Wine without a window manager a click back into
    # the program does not reliably bring the keyboard along.
    def count(self):
        return len(self.target.deliveries())

    def wait_for(self, n, timeout=15):
        """The deliveries once there are at least n."""
        return wait_until(lambda: (lambda d: d if len(d) >= n else None)(self.target.deliveries()), timeout,
                          "%d captions in the target" % n)

    def assertQuiet(self, seconds=1.5):
        """No caption arrives any more."""
        before = self.count()
        time.sleep(seconds)
        self.assertEqual(self.count(), before, "captions still arrive")

    def set_restore(self, on, nickname=NICKNAME):
        if (self.session.probe("checked", "选择框1") == "1") != on:
            self.program.click_unit("选择框1")
        if on:
            self.program.set_text("编辑框6", nickname)

    def gaps(self, deliveries):
        return [b.posted_ms - a.posted_ms for a, b in zip(deliveries, deliveries[1:])]

    def assertGaps(self, gaps, pause):
        # At least the pause and the 10 ms inside each delivery; the upper
        # bound leaves room for a busy machine.
        for gap in gaps:
            self.assertGreaterEqual(gap, pause + 5, gaps)
            self.assertLess(gap, pause + 400, gaps)

    # The single-line scroller.
    def run_scroller(self, text, pause, steps):
        """Starts the scroller on `text`, lets `steps` captions arrive, stops it; the captions."""
        self.program.set_text("编辑框2", text)
        self.program.set_text("编辑框3", str(pause))
        first = self.count()
        self.program.click_unit("按钮1")
        self.assertEqual(self.program.text("按钮1"), STOP)
        self.wait_for(first + steps)
        self.program.click_unit("按钮1")
        self.assertEqual(self.program.text("按钮1"), START)
        self.assertQuiet()
        return self.target.deliveries()[first:]

    def test_1_scroller_turns_the_text_at_the_pause_read_anew(self):
        # Typed as a person would: no caption has taken the keyboard yet.
        self.program.type_into("编辑框2", "ABC")
        self.program.type_into("编辑框3", "1500")
        first = self.count()
        self.program.click_unit("按钮1")
        self.wait_for(first + 3)
        # A new pause takes effect at the next step.
        self.wait_for(self.count() + 1)
        self.program.set_text("编辑框3", "120")
        changed = self.count()
        self.wait_for(changed + 6)
        self.program.click_unit("按钮1")
        self.assertQuiet()

        got = self.target.deliveries()[first:]
        cycle = [b"BCA", b"CAB", b"ABC"]
        self.assertEqual([d.text for d in got], [cycle[i % 3] for i in range(len(got))])
        self.assertGaps(self.gaps(got[:3]), 1500)
        self.assertGaps(self.gaps(got[changed - first + 1:]), 120)
        # The edit box shows what was sent last, and so does the field.
        self.assertEqual(gbk(self.program.text("编辑框2")), got[-1].text)
        self.assertEqual(self.target.text(), got[-1].text)

    def test_2_chinese_characters_move_whole(self):
        got = self.run_scroller("中文AB", 100, 5)
        expected = [gbk(t) for t in ["文AB中", "AB中文", "B中文A", "中文AB"]]
        self.assertEqual([d.text for d in got[:4]], expected)
        self.assertEqual(self.target.text(), got[-1].text)

    def test_3_full_width_comma_moves_one_byte_at_a_time(self):
        got = self.run_scroller("，AB", 100, 5)  # A3 AC 41 42
        # The target reads its queue as ANSI text, which holds back a lone lead
        # byte until the next character comes: so the bytes are compared as
        # one stream, not caption by caption.
        expected = [b"\xac\x41\x42\xa3", b"\x41\x42\xa3\xac", b"\x42\xa3\xac\x41", b"\xa3\xac\x41\x42"]
        self.assertTrue(b"".join(d.text for d in got).startswith(b"".join(expected)), got)

    def test_4_stopping_writes_the_nickname_back(self):
        self.set_restore(True)
        got = self.run_scroller("ABC", 300, 2)
        self.assertEqual(got[-1].text, gbk(NICKNAME))
        # Where the test before stopped after a caption that ends in a lone lead
        # byte (A3), the target gives that byte out only with the next character.
        texts = [d.text for d in got[:-1]]
        texts[0] = texts[0].removeprefix(b"\xa3")
        self.assertEqual(texts, [b"BCA", b"CAB", b"ABC", b"BCA"][:len(got) - 1])
        self.assertEqual(self.target.text(), gbk(NICKNAME))

    # The advert board.
    def test_5_advert_board(self):
        # With no rows it waits between passes, so the stop click gets through.
        self.program.set_text("编辑框5", "300")
        first = self.count()
        self.program.click_unit("按钮5")
        time.sleep(1)
        self.program.click_unit("按钮5")
        wait_until(lambda: self.program.text("按钮5") == START, 5, "the empty board to stop")
        self.assertEqual(self.count(), first)

        for row in ROWS:
            self.program.set_text("编辑框4", row)
            self.program.click_unit("按钮3")
        self.set_restore(True)
        first = self.count()
        self.program.click_unit("按钮5")
        got = self.wait_for(first + 5)[first:]
        self.assertEqual([d.text for d in got[:5]], [gbk(ROWS[i % 3]) for i in range(5)])
        self.assertGaps(self.gaps(got[:5]), 300)

        # A long pause, read anew, then a stop right after the first row of a pass.
        self.program.set_text("编辑框5", "1500")
        changed = self.count()
        wait_until(lambda: gbk(ROWS[0]) in [d.text for d in self.target.deliveries()[changed + 1:]], 15,
                   "a pass to begin")
        self.program.click_unit("按钮5")
        self.assertEqual(self.program.text("按钮5"), START)
        # The nickname at once, then the rest of the pass, then nothing.
        nickname = wait_until(lambda: self.target.deliveries()[-1].text == gbk(NICKNAME), 1, "the nickname")
        self.assertTrue(nickname)
        self.wait_for(self.count() + 2, timeout=8)
        self.assertQuiet(2)
        tail = [d.text for d in self.target.deliveries()[-4:]]
        self.assertEqual(tail, [gbk(ROWS[0]), gbk(NICKNAME), gbk(ROWS[1]), gbk(ROWS[2])])
        self.assertEqual(self.target.text(), gbk(ROWS[2]))

    def test_6_one_mode_started_inside_the_other(self):
        # The advert board runs (its rows from the test before); the scroller
        # started meanwhile runs inside the board's wait, which resumes only
        # once the scroller stops.
        if self.program.text("按钮5") == STOP:
            self.program.click_unit("按钮5")
        self.program.set_text("编辑框5", "300")
        self.program.set_text("编辑框2", "XYZ")
        self.program.set_text("编辑框3", "150")
        first = self.count()
        self.program.click_unit("按钮5")
        self.wait_for(first + 2)
        self.program.click_unit("按钮1")
        inner = self.count()
        self.wait_for(inner + 4)
        self.program.click_unit("按钮1")
        resumed = self.count()
        self.wait_for(resumed + 2)
        self.program.click_unit("按钮5")
        self.assertEqual([self.program.text(b) for b in ("按钮1", "按钮5")], [START, START])
        # A stop lets the board's pass finish: at most two more rows, 300 ms apart.
        time.sleep(1)
        self.assertQuiet(2)

        texts = [d.text for d in self.target.deliveries()[first:]]
        scroller = {b"YZX", b"ZXY", b"XYZ"}
        rows = {gbk(r) for r in ROWS}
        # One run of scroller captions, with board rows only before and after it.
        kinds = "".join("s" if t in scroller else "r" if t in rows else "?" for t in texts)
        self.assertRegex(kinds, r"^r+s+r+$")

    def test_7_closing_inside_a_pause_of_days_ends_the_program(self):
        # The longest pause there is: 24.8 days. The close ends the wait, the
        # handler and the process at once.
        self.program.set_text("编辑框2", "ABC")
        self.program.set_text("编辑框3", "2147483647")
        first = self.count()
        self.program.click_unit("按钮1")
        self.wait_for(first + 1)
        time.sleep(0.5)
        rc, seconds = self.program.close_and_time()
        self.assertEqual(rc, 0)
        self.assertLess(seconds, 1.5)
        self.assertEqual(self.program.dialogs(), [])


if __name__ == "__main__":
    unittest.main()
