"""A prepared application folder and the session test host serving it."""
import datetime
import os
import selectors
import subprocess

from quaye2e.appfolder import AppFolder, encipher, flag
from quaye2e.ports import listening_ports
from quaye2e.programs import VERSION, program


def day_stamp(day=None):
    day = day or datetime.date.today()
    return "%04d%d" % (day.year, day.timetuple().tm_yday)


class QuayHome(AppFolder):
    """An application folder with the folders a first start makes."""

    def __init__(self):
        super().__init__("quaysession-", standard_folders=True)

    def write_config(self, port="0", idle="5", put0byte=True, greeting="Welcome\r\n\r\nto the e2e", logged_on="Hello there",
                     anonymous=False):
        settings = ["127.0.0.1", port, idle, flag(put0byte), self.root, greeting, logged_on, flag(anonymous), "True"]
        enciphered = encipher(*settings, "<Reserved>")
        self.write_lines("Config.txt", enciphered[:9] + [VERSION] + [enciphered[9]] * 49)

    def counters(self, user):
        out = {}
        for kind in ("Sent", "Received", "Transfered", "Del"):
            for what in ("Count", "Size"):
                tail = "users/stats/%s.%s_File_%s.txt" % (user, kind, what)
                if os.path.exists(self.file(tail)):
                    out[kind + what] = self.read_lines(tail)
        return out


class SessionHost:
    """The host process serving a QuayHome; stops on close()."""

    def __init__(self, home):
        self.home = home
        self.record = home.file("console-record.txt")
        env = dict(home.env(), QT_QPA_PLATFORM="offscreen")
        self.process = subprocess.Popen([program("QUAYSESSIONHOST"), "serve", self.record], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
        self.port = self._read_port()
        assert listening_ports(self.process.pid) == [self.port], "the session host is not listening as it said"

    def _read_port(self):
        selector = selectors.DefaultSelector()
        selector.register(self.process.stdout, selectors.EVENT_READ)
        if not selector.select(timeout=20):
            self.close()
            raise AssertionError("the session host printed no port")
        line = self.process.stdout.readline().decode().strip()
        if not line.startswith("PORT "):
            self.close()
            raise AssertionError("the session host did not start: %r %r" % (line, self.process.stderr.read()))
        return int(line.split()[1])

    def console(self):
        if not os.path.exists(self.record):
            return []
        with open(self.record, encoding="utf-8") as f:
            return f.read().splitlines()

    def close(self):
        if self.process.poll() is None:
            try:
                self.process.stdin.write(b"exit\n")
                self.process.stdin.close()
            except BrokenPipeError:
                pass
            try:
                self.process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process.stdout.close()
        self.process.stderr.close()
