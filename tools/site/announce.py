"""The announcement page in the variant a test has chosen: a page of site/announce/, or a
variant made from one of those pages by changing some of its settings. Signed pages get
their signature when served, over the update file served at that moment."""

import hashlib
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "sign_update"))
import sign_update  # noqa: E402

# The key the tests build the program with; a key for the tests only.
TEST_KEY = os.path.join(HERE, "update_key.pem")

# Variants made from a page or another such variant: name -> (from, {key: new
# value, or None to leave the key out}). A key the page lacks is added at the
# end of its section.
DERIVED = {
    # update names that would leave the program's folder, or name a device
    "name-parent": ("forces", {"程序名字": "..\\x.exe"}),
    "name-drive": ("forces", {"程序名字": "C:\\x.exe"}),
    "name-device": ("forces", {"程序名字": "NUL"}),
    "name-empty": ("forces", {"程序名字": ""}),
    # names Windows would save under another name, or refuse
    "name-final-dot": ("forces", {"程序名字": "x.exe."}),
    "name-final-blank": ("forces", {"程序名字": "x.exe "}),
    "name-wildcard": ("forces", {"程序名字": "x*.exe"}),
    # the update named like the program itself
    "named-like-program": ("forces", {"程序名字": "lyrimark.exe"}),
    # the update address redirects: five hops (the most followed), relative at the end; to FTP
    "redirect": ("forces", {"自动更新地址": "@MAKER@/test/redirect?n=5&code=301&to=/update/lyrimark_new.exe"}),
    "redirect-ftp": ("forces", {"自动更新地址": "@MAKER@/test/redirect?code=307&to=@FTP@/lyrimark_new.exe"}),
    # a signed update, whose signature is made when the page is served
    "signed": ("forces", {"更新版本": "9.9", "更新签名": "@SIGNATURE@"}),
    # signed updates that must be refused
    "signed-tampered": ("signed", {"更新签名": "@SIGNATURE:OTHER-BYTES@"}),
    "signed-wrong-key": ("signed", {"更新签名": "@SIGNATURE:OTHER-KEY@"}),
    "signed-older": ("signed", {"更新版本": "3.2"}),
    "signed-unsigned": ("signed", {"更新签名": None}),
    # a release of the program's own version: no update at all
    "signed-current": ("signed", {"更新版本": "3.3"}),
    # signed, and named like the program itself
    "signed-named-like-program": ("signed", {"程序名字": "lyrimark.exe"}),
    # an unsigned page that names a user's file, with a signature of nothing
    "signed-names-a-song": ("signed", {"程序名字": "我的歌.lrc", "更新签名": "AAAA"}),
}

SIGNATURE = re.compile(rb"@SIGNATURE(?::(OTHER-KEY|OTHER-BYTES))?@")


class Announcements:
    def __init__(self, pages):
        self.directory = os.path.join(pages, "announce")
        self.test_key = sign_update.load_key(TEST_KEY)
        self.other_key = sign_update.new_key()

    def names(self):
        files = [name[: -len(".html")] for name in os.listdir(self.directory) if name.endswith(".html")]
        return sorted(files + list(DERIVED))

    def page(self, variant):
        """The page's bytes (GBK), its settings changed as the variant says."""
        if variant not in DERIVED:
            with open(os.path.join(self.directory, variant + ".html"), "rb") as f:
                return f.read()
        base, changes = DERIVED[variant]
        page = self.page(base)
        for key, value in changes.items():
            setting = re.compile(rb"<p>" + re.escape(key.encode("gbk")) + rb"=.*?</p>\r\n")
            new = b"" if value is None else b"<p>%s=%s</p>\r\n" % (key.encode("gbk"), value.encode("gbk"))
            page, found = setting.subn(lambda _: new, page, count=1)
            if not found:
                end = "<p>////结束</p>".encode("gbk")
                page = page.replace(end, new + end, 1)
        return page

    def sign(self, page, update_file):
        """Fills in the signature over the page's version and name and the update file; the
        wrong-key one is made with a key of this run, the other-bytes one over the file with
        its last byte changed (to the program, the same as a file changed on the way)."""
        match = SIGNATURE.search(page)
        if not match:
            return page
        with open(update_file, "rb") as f:
            data = f.read()
        if match.group(1) == b"OTHER-BYTES":
            data = data[:-1] + bytes([data[-1] ^ 1])
        version, name = (self.value(page, key) for key in ("更新版本", "程序名字"))
        key = self.other_key if match.group(1) == b"OTHER-KEY" else self.test_key
        signature = sign_update.signature(key, version, name, hashlib.sha256(data).hexdigest())
        return page[: match.start()] + signature.encode() + page[match.end() :]

    @staticmethod
    def value(page, key):
        match = re.search(re.escape(key.encode("gbk")) + rb"=(.*?)</p>", page)
        return match.group(1) if match else b""
