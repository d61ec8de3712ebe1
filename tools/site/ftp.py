"""The update file over FTP: anonymous, read-only, on loopback. Every file name
under the root is the current update file, as every /update/<name> is over HTTP."""

import os

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

from httpbase import HOST
from update import HUGE


class UpdateFileSystem(AbstractedFS):
    def ftp2fs(self, ftppath):
        if self.ftpnorm(ftppath) == "/":
            return self.root
        return self.cmd_channel.site.update.current()[0]

    def fs2ftp(self, fspath):
        return "/" if fspath == self.root else "/" + os.path.basename(fspath)

    def validpath(self, path):
        # Every name maps to the root or to the update file, so nothing can lead elsewhere.
        return True


class LoggingHandler(FTPHandler):
    abstracted_fs = UpdateFileSystem
    site = None
    banner = "Lyrimark update server ready."

    def pre_process_command(self, line, cmd, arg):
        self.site.log.add("ftp", cmd, arg or "", "FTP", [], self.remote_port)
        super().pre_process_command(line, cmd, arg)

    def ftp_SIZE(self, path):
        if self.site.update.current()[1] == "huge-size":
            self.respond("213 %d" % HUGE)
        else:
            super().ftp_SIZE(path)


def make_ftp_server(port, site, root):
    """Listening when this returns; root is an existing, otherwise unused directory."""
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(root, perm="elr")
    handler = type("SiteFTPHandler", (LoggingHandler,), {"site": site, "authorizer": authorizer})
    return FTPServer((HOST, port), handler)
