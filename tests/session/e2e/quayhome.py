"""A prepared application folder and the session host serving it."""
import datetime
import os
import selectors
import shutil
import subprocess
import tempfile
import time

HOST = os.environ["QUAYSESSIONHOST"]
VERSION = "1.0.3"
FLAGS = ("ChangeDir", "DeleteFile", "Dir", "GetFile", "MakeDir", "PutFile", "RemoveDir", "RenameFile")
GROUP_ORDER = ("DeleteFile", "GetFile", "PutFile", "RenameFile", "Dir", "MakeDir", "RemoveDir", "ChangeDir")


def encipher(*texts):
    out = subprocess.run([HOST, "encipher", *texts], check=True, capture_output=True, text=True).stdout
    lines = out.split("\n")[: len(texts)]
    assert len(lines) == len(texts)
    return lines


def flag(value):
    return "True" if value else "False"


def wait_for(predicate, timeout=10.0, what="condition"):
    """Polls until predicate() is true; bounded."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.02)


def day_stamp(day=None):
    day = day or datetime.date.today()
    return "%04d%d" % (day.year, day.timetuple().tm_yday)


class QuayHome:
    def __init__(self):
        self.path = tempfile.mkdtemp(prefix="quaysession-")
        for folder in ("logs", "groups", "users", "users/stats", "root"):
            os.makedirs(os.path.join(self.path, folder))
        self.root = os.path.join(self.path, "root")

    def cleanup(self):
        shutil.rmtree(self.path, ignore_errors=True)

    def file(self, tail):
        return os.path.join(self.path, tail)

    def write_lines(self, tail, lines):
        with open(self.file(tail), "wb") as f:
            f.write("".join(line + "\r\n" for line in lines).encode("cp1252"))

    def read_lines(self, tail):
        with open(self.file(tail), "rb") as f:
            data = f.read().decode("cp1252")
        return data.split("\r\n")[:-1]

    def write_config(self, port="0", idle="5", put0byte=True, greeting="Welcome\r\n\r\nto the e2e", logged_on="Hello there",
                     anonymous=False):
        settings = ["127.0.0.1", port, idle, flag(put0byte), self.root, greeting, logged_on, flag(anonymous), "True"]
        enciphered = encipher(*settings, "<Reserved>")
        self.write_lines("Config.txt", enciphered[:9] + [VERSION] + [enciphered[9]] * 49)

    def write_account(self, name, password, group, root=None, adopt=False, flags=None, use_group_home=False,
                      user_id=None):
        flags = flags if flags is not None else {f: True for f in FLAGS}
        password_line, description = encipher(password, "e2e account")
        lines = [flag(adopt)] + [flag(flags[f]) for f in FLAGS]
        lines += [user_id if user_id is not None else name, password_line, description, name + "@example.org",
                  group, root or self.root, flag(use_group_home), VERSION]
        lines += ["<Reserved>"] * 19
        self.write_lines("users/U_" + name, lines)

    def write_group(self, name, root=None, flags=None):
        flags = flags if flags is not None else {f: True for f in FLAGS}
        lines = [flag(flags[f]) for f in GROUP_ORDER] + [root or self.root, VERSION] + ["<Reserved>"] * 19
        self.write_lines("groups/G_" + name, lines)

    def write_virtual_map(self, records):
        header = [VERSION + "*" * 21, "**   Virtual Directory  **", "**   Configuration file **", "*" * 26]
        fields = [field for record in records for field in record]
        self.write_lines("VirtMap.dat", header + (encipher(*fields) if fields else []))

    def log_records(self, name):
        """The six-line records of logs/<name>, as tuples."""
        if not os.path.exists(self.file("logs/" + name)):
            return []
        lines = self.read_lines("logs/" + name)
        return [tuple(lines[i:i + 6]) for i in range(0, len(lines) - 5, 6)]

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
        env = dict(os.environ, QUAYPORT_HOME=home.path, QT_QPA_PLATFORM="offscreen")
        self.process = subprocess.Popen([HOST, "serve", self.record], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, env=env)
        self.port = self._read_port()

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
