"""The lyrics site: a search over a small catalogue that answers with a result page
the program can read, and the lyrics files themselves (GBK, UTF-8 or UTF-16, CR LF,
as they would be downloaded from a real site)."""

import html
import os
import time
from collections import namedtuple

from httpbase import Handler

Song = namedtuple("Song", "file singer title")

ASCII_LOWER = str.maketrans("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz")


class Catalogue:
    """index.tsv: file, singer, title a line, tab-separated, UTF-8; "#" starts a comment.
    Several entries may share a lyrics file."""

    def __init__(self, directory):
        self.directory = directory
        self.songs = []
        with open(os.path.join(directory, "index.tsv"), encoding="utf-8") as index:
            for line in index:
                if line.strip() and not line.startswith("#"):
                    self.songs.append(Song(*line.rstrip("\n").split("\t")))
        self.files = {song.file for song in self.songs}

    def search(self, keyword):
        """Songs whose title or singer holds the keyword; Latin letters match in either
        case (Chinese has none), and an empty keyword lists everything."""
        keyword = keyword.translate(ASCII_LOWER)
        holds = lambda text: keyword in text.translate(ASCII_LOWER)
        return [song for song in self.songs if holds(song.title) or holds(song.singer)]

    def lyrics(self, file):
        if file not in self.files:
            return None
        with open(os.path.join(self.directory, file), "rb") as f:
            return f.read()


PAGE = """<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>{title} - 歌词搜索</title>
<style>body{{font-family:sans-serif}} .u{{color:#080}} .r{{margin:1em 0}}</style>
</head>
<body>
<form action="/" method="get">
<input type="text" name="keyword" value="{keyword}">
<input type="hidden" name="field" value="all">
<input type="submit" value="搜索歌词">
</form>
<hr>
{content}
<hr>
<p>本站歌词均来自公版诗词与自编小调，仅供学习交流。</p>
</body>
</html>
"""

NO_RESULT = "<p>对不起，没有找到相关的歌词，请换个关键词试试。</p>"

# The program reads each result from the font tag to "LRC歌词下载</a>": the address
# between the span and the closing font tag, and "singer title " after the last ">".
RESULT = """<div class="r">
<font size="-1"><span class="u">{address}</font><br><a href="{address}">{names}LRC歌词下载</a>
</div>
"""


def link_names(song):
    """Singer, a space, the title and a space; a song without a known singer shows
    just its title."""
    names = "%s %s " % (song.singer, song.title) if song.singer else song.title + " "
    return html.escape(names, quote=False)


def result_page(origin, keyword, songs):
    if songs:
        results = "".join(RESULT.format(address=origin + "/lrc/" + s.file, names=link_names(s)) for s in songs)
        content = "<p>共找到 %d 首相关歌词：</p>\n%s" % (len(songs), results)
    else:
        content = NO_RESULT
    return PAGE.format(title=html.escape(keyword) or "全部歌词", keyword=html.escape(keyword), content=content)


class LyricsHandler(Handler):
    def route(self):
        path, query = self.target()
        catalogue = self.server.site.catalogue
        if path == "/":
            time.sleep(self.server.site.delays["lyrics"] / 1000)
            if "keyword" in query:
                songs = catalogue.search(query["keyword"])
                page = result_page(self.server.origin, query["keyword"], songs)
            else:
                page = PAGE.format(title="首页", keyword="", content="<p>输入歌名或歌手，搜索LRC歌词。</p>")
            self.reply(200, page, "text/html; charset=utf-8")
            return
        body = catalogue.lyrics(path[len("/lrc/") :]) if path.startswith("/lrc/") else None
        if body is None:
            page = PAGE.format(title="404", keyword="", content="<p>页面不存在。</p>")
            self.reply(404, page, "text/html; charset=utf-8")
        else:
            self.reply(200, body, "text/plain; charset=gbk")
