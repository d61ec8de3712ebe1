"""Writes one release zip, the same bytes from the same inputs:

    make_zip.py <zip> <folder> <time in seconds since 1970>

The zip holds the folder itself and every file in it, in sorted order, with
the given time, fixed permissions and fixed compression. Text files (.txt) get
Windows line ends and, when they hold more than ASCII, a UTF-8 byte order mark,
so that Notepad on any Windows shows them. Names are stored as UTF-8 with the
zip's Unicode flag set."""

import os
import sys
import time
import zipfile


def text_for_windows(data):
    data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    if not data.isascii() and not data.startswith(b"\xef\xbb\xbf"):
        data = b"\xef\xbb\xbf" + data
    return data


def entry(name, when, mode, compress):
    info = zipfile.ZipInfo(name, date_time=time.gmtime(when)[:6])
    info.create_system = 3  # Unix, so that the permissions below are read
    info.external_attr = mode << 16
    info.compress_type = compress
    return info


def main(path, folder, when):
    when = max(int(when), 315532800)  # a zip holds no time before 1980
    top = os.path.basename(os.path.normpath(folder))
    with zipfile.ZipFile(path, "w") as z:
        z.writestr(entry(top + "/", when, 0o40755, zipfile.ZIP_STORED), b"")
        for name in sorted(os.listdir(folder)):
            with open(os.path.join(folder, name), "rb") as f:
                data = f.read()
            if name.endswith(".txt"):
                data = text_for_windows(data)
            z.writestr(entry(top + "/" + name, when, 0o100644, zipfile.ZIP_DEFLATED), data, compresslevel=9)


if __name__ == "__main__":
    main(*sys.argv[1:])
