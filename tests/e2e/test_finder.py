"""Picking the target by dragging the finder from 画板_捕获器, with real mouse
input, checked on the screen and in the program's fields."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import EndToEnd, drag, wait_until  # noqa: E402

PEN = (0, 136, 255)  # the finder's pen colour 0xFF8800 as red, green, blue
CAPTURE_BACKGROUND = (240, 255, 240)
EMPTY_POINT = (1150, 900)  # nothing but the bare desktop here


def band(rect, depth):
    """The ring of pixels `depth` pixels wide just inside rect."""
    l, t, r, b = rect
    return lambda x, y: l <= x < r and t <= y < b and not (l + depth <= x < r - depth and t + depth <= y < b - depth)


def inverted(before, during, x, y):
    return during.pixel(x, y) == tuple(255 - v for v in before.pixel(x, y))


class FinderTest(EndToEnd):
    @classmethod
    def setUpClass(cls):
        # With two windows that answer the finder badly, low on the left.
        cls.start_class(target={"odd_windows": True}, program={})
        cls.main = cls.program.main_window()

    def setUp(self):
        self.canvas = self.program.centre("画板_捕获器")
        self.field = self.target.rect()
        self.field_centre = self.target.centre()

    def outside_own(self, extra=()):
        return [self.main["rect"], *extra]

    def release(self):
        self.session.xdo("mouseup", 1)
        # The drag ends at the next tick of the 100 ms finder timer.
        wait_until(lambda: self.program.drag_icon() is None, 1.5, "the drag-icon window to close")

    def assertFramed(self, before, during, rect):
        """The 5-pixel band just inside rect is inverted; the pixels inside it are not."""
        l, t, r, b = rect
        for x, y in [(l, (t + b) // 2), (r - 1, (t + b) // 2), ((l + r) // 2, t), ((l + r) // 2, b - 1),
                     (l + 2, t + 40), ((l + r) // 2, b - 3)]:
            self.assertTrue(inverted(before, during, x, y), "pixel %d,%d of %s not inverted" % (x, y, rect))
        for x, y in [(l + 6, (t + b) // 2), ((l + r) // 2, t + 6), (r - 7, b - 7)]:
            self.assertEqual(during.pixel(x, y), before.pixel(x, y), "pixel %d,%d changed" % (x, y))

    def assertOnlyFrame(self, before, rect):
        """The screen differs from `before` only by the frame round rect."""
        icon = self.program.drag_icon()
        during = self.session.grab()
        changed = before.differences(during, exclude=self.outside_own([icon["rect"]]))
        in_band = band(rect, 5)
        self.assertEqual([p for p in changed if not in_band(*p)], [], "pixels changed outside the frame")
        self.assertFramed(before, during, rect)

    def test_drop_on_the_nickname_field(self):
        before = self.session.grab()
        drag(self.session, [self.canvas, (580, 300), self.field_centre])
        icon = self.program.drag_icon()
        self.assertIsNotNone(icon, "no drag-icon window")
        self.assertEqual(icon["rect"][:2], (self.field_centre[0] - 14, self.field_centre[1] - 14))
        self.assertEqual(self.program.text("编辑框_窗口句柄"), str(self.target.field))
        self.assertEqual(self.session.probe("cursor"), "hidden")
        self.assertFramed(before, self.session.grab(), self.field)
        self.release()

        self.assertEqual(self.program.text("编辑框_窗口句柄"), str(self.target.field))
        self.assertEqual(self.program.text("透明标签1"), "窗口标题：")  # the field has no title
        x, y = self.field_centre
        origin = self.target.client_origin()
        self.assertEqual([self.program.text("编辑框_鼠标位置_" + c) for c in "XY"], [str(x), str(y)])
        self.assertEqual([self.program.text("编辑框_窗口鼠标位置_" + c) for c in "XY"],
                         [str(x - origin[0]), str(y - origin[1])])
        self.assertEqual(self.session.probe("cursor"), "showing")
        self.assertFalse(self.program.main_window()["topmost"])
        after = self.session.grab()
        self.assertEqual(before.differences(after, exclude=self.outside_own()), [], "something left on the screen")

        # A person comes back to the main window: the finder icon is whole again.
        left, top = self.main["rect"][:2]
        self.program.click_at(left + 120, top + 10)
        time.sleep(0.3)
        shot = self.session.grab()
        (cl, ct, _, _), _ = self.program.rect("画板_捕获器")
        self.assertEqual(shot.pixel(cl + 1 + 14, ct + 1 + 14), CAPTURE_BACKGROUND)  # centre, inside the border
        self.assertEqual(shot.pixel(cl + 1 + 9, ct + 1 + 13), PEN)  # outer left stroke of the target
        self.assertEqual(self.program.dialogs(), [])

    def test_one_frame_at_a_time(self):
        # Points well inside each window: there the drag-icon window never
        # covers a frame (without composition, as here, a window it uncovers
        # repaints those pixels, and the frame shows gaps until the drop).
        origin = self.target.client_origin(self.target.window)
        window_point = (origin[0] + 300, origin[1] + 12)  # the window itself, between label and field
        before = self.session.grab()
        drag(self.session, [self.canvas], hold=0.2)
        for point, framed, handle in [(self.field_centre, self.field, self.target.field),
                                      (window_point, self.target.rect(self.target.window), self.target.window),
                                      (self.field_centre, self.field, self.target.field)]:
            self.session.xdo("mousemove", *point)
            time.sleep(0.4)
            self.assertOnlyFrame(before, framed)
            self.assertEqual(self.program.text("编辑框_窗口句柄"), str(handle))
            # Moving inside the window changes the positions, not the frame.
            self.session.xdo("mousemove", point[0] + 3, point[1] + 2)
            time.sleep(0.3)
            self.assertOnlyFrame(before, framed)
            self.assertEqual(self.program.text("编辑框_鼠标位置_X"), str(point[0] + 3))
        self.release()
        self.assertEqual(before.differences(self.session.grab(), exclude=self.outside_own()), [])

    def test_drop_on_a_window_with_a_title(self):
        top = self.target.rect(self.target.window)
        drag(self.session, [self.canvas, (580, 300), (top[0] + 60, top[1] + 8)])
        self.release()
        self.assertEqual(self.program.text("编辑框_窗口句柄"), str(self.target.window))
        self.assertEqual(self.program.text("透明标签1"), "窗口标题：Lyrimark 测试目标")

    def test_windows_that_answer_badly(self):
        # One claims a title of 0x7FFFFFFF characters, the other's program hangs:
        # the finder reads the first's title, gives the second none after a
        # short wait, and follows the pointer on to the field.
        drag(self.session, [self.canvas, (580, 300), self.target.centre(self.target.absurd_title)], hold=0.5)
        self.assertEqual(self.program.text("编辑框_窗口句柄"), str(self.target.absurd_title))
        self.assertEqual(self.program.text("透明标签1"), "窗口标题：长度离谱的标题")
        self.session.xdo("mousemove", *self.target.centre(self.target.hung))
        wait_until(lambda: self.program.text("编辑框_窗口句柄") == str(self.target.hung), 2, "the hung window")
        self.assertEqual(self.program.text("透明标签1"), "窗口标题：")
        self.session.xdo("mousemove", *self.field_centre)
        wait_until(lambda: self.program.text("编辑框_窗口句柄") == str(self.target.field), 2, "the field")
        self.release()
        self.assertEqual(self.program.text("编辑框_窗口句柄"), str(self.target.field))
        self.assertEqual(self.program.dialogs(), [])

    def test_own_windows_leave_the_handle_empty(self):
        inside_main = (self.main["rect"][0] + 240, self.main["rect"][1] + 300)
        # Dropped on the program's own window.
        drag(self.session, [self.canvas, (580, 300), self.field_centre, (580, 300), inside_main])
        self.release()
        self.assertEqual(self.program.text("编辑框_窗口句柄"), "")
        # From a window onto the program's own and straight back: that window
        # is still the framed one, so nothing writes its handle again. The
        # target's window touches the main window's edge for this.
        self.target.place(self.main["rect"][2], 80)
        try:
            origin = self.target.client_origin(self.target.window)
            margin = (origin[0] + 5, origin[1] + 150)  # the window's own background, left of the field
            # Resting long enough at each for the finder's 100 ms tick to see it.
            drag(self.session, [self.canvas, inside_main, margin, inside_main, margin], dwell=0.3)
            self.release()
            self.assertEqual(self.program.text("编辑框_窗口句柄"), "")
        finally:
            self.target.place(620, 80)

    def test_super_mode_where_no_window_is(self):
        before = self.session.grab()
        drag(self.session, [self.canvas, (580, 300), self.field_centre, EMPTY_POINT], hold=0.5)
        icon = self.program.drag_icon()
        self.assertIsNotNone(icon)
        # Moved off the pointer by 15 pixels: at mouse - 14 + 15.
        self.assertEqual(icon["rect"][:2], (EMPTY_POINT[0] + 1, EMPTY_POINT[1] + 1))
        self.assertEqual(self.program.text("编辑框_窗口句柄"), "0")  # left the field for no window
        # The icon window shows the hint, not the finder icon.
        during = self.session.grab()
        l, t, r, b = icon["rect"]
        drawn = {during.pixel(x, y) for x in range(l, r) for y in range(t, b)} - {before.pixel(l, t)}
        self.assertTrue(drawn, "no hint on the drag-icon window")
        self.assertNotIn(PEN, drawn)
        self.release()
        # The input hook saw the release and names the window under it: the desktop.
        self.assertEqual(self.program.text("编辑框_窗口句柄"), self.session.probe("desktop"))
        self.assertEqual(before.differences(self.session.grab(), exclude=self.outside_own()), [])


class ExitDuringDragTest(EndToEnd):
    def test_closing_the_program_mid_drag_ends_it_cleanly(self):
        self.start_class(program={})
        program = self.program
        drag(self.session, [program.centre("画板_捕获器"), EMPTY_POINT], hold=0.5)
        self.assertIsNotNone(program.drag_icon())  # super mode: the hook is in
        rc = program.stop()
        self.session.xdo("mouseup", 1)
        self.assertEqual(rc, 0)
        self.assertEqual(program.dialogs(), [])


if __name__ == "__main__":
    unittest.main()
