"""Lyrics playback end to end, with real mouse and keyboard input: the finder
drops on the stand-in target's nickname field, a folder of songs with Chinese
file names is typed into 编辑框1 (it takes effect, as in the program, when the
next online result is previewed), a song is clicked in 文件框1 and "播 放"
pressed. The target's log shows every line in order, each character message
with lParam 1, and its field ends with the last line, or with the nickname when
选择框1 is ticked.

The screenshot of playback in progress is kept in the run's work directory,
and with LYRIMARK_DOCS_PICTURES=1 in the environment in docs/playback.png (for
the README).

The folder dialog is only cancelled here: Wine's dialog ignores a path typed
into its edit box, and its tree names the drives by the prefix's setup; the
choice of a folder through the dialog is tested in-process (library_test.cpp)."""

import os
import re
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import DOCS, EndToEnd, gbk, wait_until  # noqa: E402

PLAY = "播 放"
NICKNAME = "马甲Nick"

# Stamps in ms and lines (classical poems). A first line at 0 ms is shown, not
# written; an empty line is written as the credit text.
SONGS = {
    "春晓.lrc": [(0, "春晓 孟浩然"), (500, "春眠不觉晓"), (1000, "处处闻啼鸟"), (1500, ""), (2000, "夜来风雨声"),
                (2500, "花落知多少")],
    "静夜思.lrc": [(400, "床前明月光"), (1400, "疑是地上霜"), (2400, "举头望明月"), (3400, "低头思故乡")],
}


def lrc(lines):
    """The song as an LRC file: GBK, CR LF."""
    tags = ["[%02d:%02d.%03d]%s" % (ms // 60000, ms // 1000 % 60, ms % 1000, text) for ms, text in lines]
    return gbk("[ti:歌]\r\n" + "".join(t + "\r\n" for t in tags))


def home_address(build):
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as cache:
        return re.search(r"^LYRIMARK_HOME_URL:STRING=(.*)$", cache.read(), re.M).group(1)


class PlaybackTest(EndToEnd):
    @classmethod
    def setUpClass(cls):
        cls.start_session()
        cls.credit = home_address(cls.session.build) + "-提供字幕"
        # For the README's picture the program and its songs are where a user keeps them.
        home, exe = cls.session.installed_copy() if DOCS else (cls.session.work, None)
        cls.folder = os.path.join(home, "歌词")
        os.mkdir(cls.folder)
        for name, lines in SONGS.items():
            with open(os.path.join(cls.folder, name), "wb") as f:
                f.write(lrc(lines))
        with open(os.path.join(cls.folder, "说明.txt"), "wb") as f:
            f.write(gbk("不是歌词\r\n"))
        # Dialogs are cancelled: an OK on the folder dialog would pick whatever its tree shows.
        cls.start_class(target={}, program=dict(answer="cancel", cwd=home, exe=exe), pick=True)

    # Helpers.
    def expected(self, song):
        lines = SONGS[song]
        if lines[0][0] == 0 and len(lines) > 1:
            lines = lines[1:]
        return [gbk(text or self.credit) for _, text in lines]

    def click_first_file(self):
        (left, top, _, _), shown = self.program.rect("文件框1")
        self.assertTrue(shown)
        self.program.click_at(left + 30, top + 8)

    def test_1_the_folder_typed_in_plays_into_the_field(self):
        self.program.show_page(1)
        self.program.type_into("编辑框1", self.session.wine_path(self.folder))
        # A preview of an online result points the file box at the folder typed in.
        self.program.show_page(2)
        self.program.click_unit("搜索歌词")
        (left, top, right, _), _ = self.program.rect("欲下载列表")
        wait_until(lambda: self.site.control("requests").count('"server": "lyrics"') >= 1, 10,
                   "the search")
        self.program.click_at((left + right) // 2, top + 30)
        wait_until(lambda: self.site.control("requests").count('"/lrc/') >= 1, 10, "the preview")
        self.program.show_page(1)
        self.click_first_file()
        song = wait_until(lambda: self.program.text("透明标签1") in SONGS and self.program.text("透明标签1"), 5,
                          "a song of the folder to load")

        first, expected = len(self.target.deliveries()), self.expected(song)
        self.program.click_unit("超级按钮4")
        wait_until(lambda: self.program.text("超级按钮4") == PLAY and len(self.target.deliveries()) >= first + len(
            expected), 20, "the song to end")
        time.sleep(0.5)
        got = self.target.deliveries()[first:]
        self.assertEqual([d.text for d in got], expected)
        self.assertEqual([d.lparams for d in got], [{1}] * len(got))
        self.assertEqual(self.target.text(), got[-1].text)
        self.assertEqual(self.program.dialogs(), [])

    def test_2_the_end_of_the_song_gives_the_nickname_back(self):
        if self.session.probe("checked", "选择框1") != "1":
            self.program.click_unit("选择框1")
        self.program.type_into("编辑框6", NICKNAME)
        # The other song: a click on the first and a step down with the keyboard.
        self.program.focus()
        self.click_first_file()
        loaded = self.program.text("透明标签1")
        self.session.xdo("key", "Down")
        other = [s for s in SONGS if s != loaded][0]
        wait_until(lambda: self.program.text("透明标签1") == other, 5, "the other song to load")

        first = len(self.target.deliveries())
        self.program.click_unit("超级按钮4")
        # Playback in progress: the second line in the field and its row highlighted
        # (the lines are a second apart, so the picture falls between deliveries).
        second = self.expected(other)[1]
        wait_until(lambda: len(self.target.deliveries()) >= first + 2 and self.target.text() == second, 10,
                   "the second line in the field")
        # The main window and the target side by side, for the README.
        left, top, _, bottom = self.program.main_window()["rect"]
        self.session.keep_picture("playback.png", (left, top, self.target.rect(self.target.window)[2], bottom))
        wait_until(lambda: self.program.text("超级按钮4") == PLAY, 20, "the song to end")
        time.sleep(0.5)
        got = self.target.deliveries()[first:]
        self.assertEqual([d.text for d in got], self.expected(other) + [gbk(NICKNAME)])
        self.assertEqual([d.lparams for d in got], [{1}] * (len(got) - 1) + [{0}])
        wait_until(lambda: self.target.text() == gbk(NICKNAME), 5, "the nickname in the field")

    def test_3_a_cancelled_folder_dialog_changes_nothing(self):
        folder = self.program.text("编辑框1")
        self.program.show_page(1)
        self.program.click_unit("按钮2")
        wait_until(lambda: self.program.dialogs(), 10, "the folder dialog")
        time.sleep(0.5)
        self.assertIn("选择歌词目录", self.program.dialogs()[-1][1])
        self.assertEqual(self.program.text("编辑框1"), folder)
        self.program.focus()
        self.click_first_file()
        wait_until(lambda: self.program.text("透明标签1") in SONGS, 5, "a song of the same folder")


if __name__ == "__main__":
    unittest.main()
