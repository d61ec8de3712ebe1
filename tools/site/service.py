"""The synced-lyrics service: GET /api/search?q=WORDS answers a JSON array of tracks,
in the shape the public service gives them, from a catalogue of its own. Some
search words stand for the ways such a service fails. GET /api/get?track_name=
&artist_name=[&duration=] answers the one track of that title and artist (and
length, within 2 s), or 404."""

import json
import os
import time
import unicodedata

from httpbase import Handler

ASCII_LOWER = str.maketrans("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz")

# Words that make the service fail, each as the words of a search that the
# lyrics site answers with a song, so a failing service shows beside a working site.
FAULTS = {
    "王之涣": "404",
    "孟浩然": "500",
    "王维": "429",
    "孟郊": "cut",
}


def error(status, name, message):
    return {"message": message, "name": name, "statusCode": status}


class ServiceCatalogue:
    """tracks.json: the tracks with their lyrics as lists of lines. A track's
    "line_end" joins them (LF by default, as the service has them); "escaped"
    sends it with \\u escapes, characters beyond the BMP as surrogate pairs."""

    def __init__(self, directory):
        with open(os.path.join(directory, "tracks.json"), encoding="utf-8") as f:
            entries = json.load(f)
        self.tracks = [self._track(i + 1, e) for i, e in enumerate(entries)]

    @staticmethod
    def _track(number, e):
        joined = lambda key: e.get("line_end", "\n").join(e[key]) if key in e else None
        track = {
            "id": number,
            "name": e["trackName"],
            "trackName": e["trackName"],
            "artistName": e["artistName"],
            "albumName": e["albumName"],
            "duration": e["duration"],
            "instrumental": e.get("instrumental", False),
            "plainLyrics": joined("plain") or (joined("synced") and strip_tags(joined("synced"))),
            "syncedLyrics": joined("synced"),
        }
        return track, e.get("escaped", False)

    def song(self, title, artist, duration):
        """The track of that title and artist, compared as the service does: lower case,
        punctuation as blanks; with a duration, one within 2 s of it."""
        for track, escaped in self.tracks:
            if (same_name(track["trackName"], title) and same_name(track["artistName"], artist)
                    and (duration is None or abs(track["duration"] - duration) <= 2)):
                return track, escaped
        return None

    def search(self, words):
        """Tracks whose title, artist or album holds the words (Latin letters in either case)."""
        words = words.translate(ASCII_LOWER)
        holds = lambda t: any(words in t[k].translate(ASCII_LOWER) for k in ("trackName", "artistName", "albumName"))
        return [(t, escaped) for t, escaped in self.tracks if holds(t)]


def same_name(a, b):
    normal = lambda s: " ".join("".join(" " if unicodedata.category(c)[0] == "P" else c for c in s.lower()).split())
    return normal(a) == normal(b)


def strip_tags(synced):
    return "\n".join(line[line.rfind("]") + 1 :] for line in synced.splitlines())


def answer(tracks):
    """The JSON array as bytes; escaped tracks in ASCII with \\u escapes, the rest in UTF-8."""
    return ("[" + ",".join(json.dumps(t, ensure_ascii=escaped) for t, escaped in tracks) + "]").encode("utf-8")


class ServiceHandler(Handler):
    # Its clients keep the connection: a body sent after its head would wait
    # for the client's delayed acknowledgement (40 ms on Linux) before it went.
    disable_nagle_algorithm = True

    def route(self):
        path, query = self.target()
        site = self.server.site
        time.sleep(site.delays["service"] / 1000)
        if path == "/api/get":
            self.get_song(query)
            return
        if path != "/api/search":
            self.json(404, error(404, "NotFound", "Not found"))
            return
        words = query.get("q", "")
        if not words:
            self.json(400, error(400, "ValidationError", "q is required"))
            return
        fault = FAULTS.get(words)
        if fault == "404":
            self.json(404, error(404, "TrackNotFound", "Failed to find specified track"))
        elif fault == "500":
            # A body that lists a track all the same: only the status tells.
            self.reply(500, answer(site.service.tracks[:1]), "application/json")
        elif fault == "429":
            self.json(429, error(429, "TooManyRequests", "Too many requests"), [("Retry-After", "60")])
        elif fault == "cut":
            body = answer(site.service.tracks)
            self.send_response(200)
            self.send_header("Content-Type", "application/json")
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body[: len(body) // 2])
            self.close_connection = True
        else:
            self.reply(200, answer(site.service.search(words)), "application/json")

    def get_song(self, query):
        title, artist = query.get("track_name", ""), query.get("artist_name", "")
        if not title or not artist:
            self.json(400, error(400, "ValidationError", "track_name and artist_name are required"))
            return
        duration = query.get("duration")
        found = self.server.site.service.song(title, artist, float(duration) if duration else None)
        if found is None:
            self.json(404, error(404, "TrackNotFound", "Failed to find specified track"))
        else:
            track, escaped = found
            self.reply(200, json.dumps(track, ensure_ascii=escaped).encode("utf-8"), "application/json")

    def json(self, status, value, headers=()):
        self.reply(status, json.dumps(value), "application/json", headers)
