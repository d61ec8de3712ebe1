r"""Takes the pictures in docs/: the main window's four pages, the search page
with rows of the lyrics site and the lyrics service and a service row's
preview, a finder drag onto the stand-in target's nickname field, the scroller
writing into it, and the fifth page following the stand-in player's song into it.
The program runs from C:\Lyrimark, as a user would have it. Run by hand after
a build of the Windows tree (win32 by default):

    /usr/bin/python3 tests/e2e/pictures.py build/win32
"""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from harness import ROOT, Player, Program, Session, Site, Target, drag, wait_until  # noqa: E402

DOCS = os.path.join(ROOT, "docs")
AREA = (40, 40, 1080, 610)  # the main window and the target beside it


def shoot(session, name):
    path = os.path.join(DOCS, name)
    session.grab().crop(*AREA).save_png(path)
    print(path)


def search_page(session, site, program):
    """"月" finds two songs on the site and three on the service; the fourth row,
    a service's track, is previewed (from the search's answer: nothing to wait for)."""
    program.show_page(2)
    program.type_into("欲搜索内容", "月")
    program.click_unit("搜索歌词")
    wait_until(lambda: site.control("requests").count('"/api/search?q=%E6%9C%88"') >= 1, 10, "the search")
    time.sleep(1)
    (left, top, right, _), _ = program.rect("欲下载列表")
    program.click_at((left + right) // 2, top + 30)  # the first row: the site's
    wait_until(lambda: site.control("requests").count('"/lrc/') >= 1, 10, "the site row's preview")
    for _ in range(3):
        session.xdo("key", "Down")
    time.sleep(1)
    path = os.path.join(DOCS, "search-both-sources.png")
    session.grab().crop(*program.main_window()["rect"]).save_png(path)
    print(path)


def main(build):
    session = Session(build)
    site = Site.start(session)
    target = Target.start(session)
    home, exe = session.installed_copy()
    # The song the player plays, under its title, in the program's folder.
    shutil.copy(os.path.join(ROOT, "tools", "site", "catalogue", "1.lrc"), os.path.join(home, "静夜思.lrc"))
    program = Program.start(session, cwd=home, exe=exe)
    player = None
    try:
        for page in (1, 2, 3, 4):
            program.show_page(page)
            time.sleep(0.5)
            path = os.path.join(DOCS, "main-page%d.png" % page)
            session.grab().crop(*program.main_window()["rect"]).save_png(path)
            print(path)
        search_page(session, site, program)
        program.show_page(1)
        target.place(620, 80)
        field = target.centre()
        shoot(session, "finder-1-before.png")
        drag(session, [program.centre("画板_捕获器"), (580, 300), field], hold=0.6)
        shoot(session, "finder-2-over-the-field.png")
        session.xdo("mouseup", 1)
        wait_until(lambda: program.drag_icon() is None, 2, "the drop")
        program.show_page(3)
        time.sleep(0.5)
        shoot(session, "finder-3-dropped.png")

        program.type_into("编辑框2", "中文字幕ABC")
        program.type_into("编辑框3", "1500")
        first = len(target.deliveries())
        program.click_unit("按钮1")
        wait_until(lambda: len(target.deliveries()) >= first + 1, 10, "the first caption")
        time.sleep(0.6)
        shoot(session, "scroller-1-first-step.png")
        wait_until(lambda: len(target.deliveries()) >= first + 3, 10, "two more captions")
        time.sleep(0.6)
        shoot(session, "scroller-2-third-step.png")
        program.click_unit("按钮1")

        player = Player.start(session)
        player.do("song 1|李白|静夜思|31000")
        player.do("seek 7000")
        program.show_page(5)
        program.click_unit("选择框_跟随播放")
        first = len(target.deliveries())
        wait_until(lambda: len(target.deliveries()) >= first + 2, 15, "two lines of the followed song")
        time.sleep(0.6)
        shoot(session, "follow-page5.png")
    finally:
        if player:
            player.stop()
        program.stop()
        target.stop()
        site.stop()
        session.close()


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "win32"))
