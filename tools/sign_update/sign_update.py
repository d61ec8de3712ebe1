#!/usr/bin/python3
"""Signs a release for programs built with LYRIMARK_UPDATE_PUBLIC_KEY.

    sign_update.py key KEYFILE                      make a key pair: the private key goes into
                                                    KEYFILE (keep it out of the repository), the
                                                    public key is printed as the CMake setting
    sign_update.py public KEYFILE                   print the public key again
    sign_update.py sign KEYFILE VERSION NAME FILE   print the announcement page's lines for
                                                    FILE, saved and started as NAME, of VERSION

The signature is ECDSA P-256 with SHA-256 over "lyrimark-update-v1\\n" + VERSION + "\\n" +
NAME in GBK + "\\n" + the lowercase hex SHA-256 of FILE, written as base64 of r then s.
Needs Debian's python3-cryptography.
"""

import base64
import hashlib
import os
import re
import sys

from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec, utils

COORDINATE = 32  # bytes of a P-256 coordinate, and of r and of s


def new_key():
    return ec.generate_private_key(ec.SECP256R1())


def load_key(path):
    with open(path, "rb") as f:
        key = serialization.load_pem_private_key(f.read(), password=None)
    if not isinstance(key, ec.EllipticCurvePrivateKey) or key.curve.name != "secp256r1":
        raise ValueError("%s holds no P-256 key" % path)
    return key


def save_key(key, path):
    pem = key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                            serialization.NoEncryption())
    # Readable by its owner only, from the moment it exists.
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)
    with os.fdopen(fd, "wb") as f:
        f.write(pem)


def public_key(key):
    """The base64 of X then Y, big-endian: what the program is built with."""
    numbers = key.public_key().public_numbers()
    return base64.b64encode(numbers.x.to_bytes(COORDINATE, "big") + numbers.y.to_bytes(COORDINATE, "big")).decode()


def signed_text(version, name, sha256):
    """The bytes the signature covers; `version` and `name` as the page's bytes (GBK)."""
    return b"lyrimark-update-v1\n" + version + b"\n" + name + b"\n" + sha256.encode()


def signature(key, version, name, sha256):
    r, s = utils.decode_dss_signature(key.sign(signed_text(version, name, sha256), ec.ECDSA(hashes.SHA256())))
    return base64.b64encode(r.to_bytes(COORDINATE, "big") + s.to_bytes(COORDINATE, "big")).decode()


def file_sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 16), b""):
            digest.update(block)
    return digest.hexdigest()


# What the program takes (update/announcement.cpp, text/file_name.cpp): a
# signed release it would refuse is not worth signing.
LONGEST_VERSION = 32
DEVICES = re.compile(r"(con|prn|aux|nul|com[0-9]|lpt[0-9])", re.IGNORECASE)


def name_problem(name):
    """Why the program would not save and start a file by this name, or None."""
    try:
        name.encode("gbk")
    except UnicodeEncodeError:
        return "the announcement page is GBK, and GBK lacks a character of it"
    if name in ("", ".", ".."):
        return "no file name"
    if any(c in "\\/:" or ord(c) < 0x20 for c in name):
        return "it would leave the program's folder or holds a control character"
    if DEVICES.fullmatch(name.split(".")[0].rstrip(" ")):
        return "Windows opens it as a device"
    if name[-1] in ". " or any(c in '<>"|?*' for c in name):
        return "Windows would not save a file under exactly this name"
    return None


def page_lines(key, version, name, path):
    if len(version) > LONGEST_VERSION or not re.fullmatch(r"[0-9]{1,9}(\.[0-9]{1,9})*", version):
        raise ValueError("a version is dotted numbers, such as 3.4 or 3.3.1: %r" % version)
    problem = name_problem(name)
    if problem:
        raise ValueError("the program refuses the name %r: %s" % (name, problem))
    sig = signature(key, version.encode(), name.encode("gbk"), file_sha256(path))
    return ["<p>程序名字=%s</p>" % name, "<p>更新版本=%s</p>" % version, "<p>更新签名=%s</p>" % sig]


def main(argv):
    try:
        if len(argv) == 2 and argv[0] == "key":
            key = new_key()
            save_key(key, argv[1])
            print("-DLYRIMARK_UPDATE_PUBLIC_KEY=%s" % public_key(key))
        elif len(argv) == 2 and argv[0] == "public":
            print("-DLYRIMARK_UPDATE_PUBLIC_KEY=%s" % public_key(load_key(argv[1])))
        elif len(argv) == 5 and argv[0] == "sign":
            print("\n".join(page_lines(load_key(argv[1]), argv[2], argv[3], argv[4])))
        else:
            print(__doc__.strip(), file=sys.stderr)
            return 2
    except (OSError, ValueError, UnicodeEncodeError) as error:
        print("sign_update: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
