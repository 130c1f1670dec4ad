"""ftplib's client with its active-mode data port on the loopback address."""
import ftplib
import socket


class FTP(ftplib.FTP):
    """ftplib.FTP, but the port a PORT or EPRT command names listens on the control connection's own
    local address (the loopback address here) instead of every interface."""

    def makeport(self):
        host = self.sock.getsockname()[0]
        sock = socket.create_server((host, 0), family=self.af, backlog=1)
        port = sock.getsockname()[1]
        if self.af == socket.AF_INET:
            self.sendport(host, port)
        else:
            self.sendeprt(host, port)
        if self.timeout is not socket._GLOBAL_DEFAULT_TIMEOUT:
            sock.settimeout(self.timeout)
        return sock
