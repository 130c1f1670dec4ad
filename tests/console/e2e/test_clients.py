"""The real Quayport, offscreen, read by clients whose listing parsers are
strict: Debian's ftputil and aioftp list every folder and fetch every file,
tnftp's mget fetches what wildcards name. Each listed name, size and date and
each fetched file is compared with the disk: dates of old, recent and future
files, a name whose bytes are not UTF-8, names with blanks."""
import fnmatch
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from quaye2e import free_port, greeting_of, wait_for
from quaye2e.quayport import Home, Quayport

HERE = os.path.dirname(os.path.abspath(__file__))
# Listings give the server's local time and the libraries read them as UTC:
# the server and every client run in that zone.
os.environ["TZ"] = "UTC"
PASSWORD = "s3cret!pw"
DAY = 24 * 3600
SIX_MONTHS = 31556952 // 2  # as ls reckons them


def client_python():
    """The Python that has both client libraries: this one, or Debian's own."""
    for python in (sys.executable, "/usr/bin/python3"):
        if os.path.exists(python) and subprocess.run([python, "-c", "import ftputil, aioftp"],
                                                     capture_output=True).returncode == 0:
            return python
    raise AssertionError("python3-ftputil and python3-aioftp are missing: run scripts/setup")


def listed_time(mtime, now):
    """What a listing tells of a time, as seconds: the minute for the last six
    months, else the day."""
    if 0 <= now - mtime < SIX_MONTHS:
        return mtime // 60 * 60
    return mtime // DAY * DAY


class ClientCompatibility(unittest.TestCase):
    def setUp(self):
        self.home = Home()
        self.addCleanup(self.home.cleanup)
        self.port = free_port()
        self.home.write_config(port=str(self.port), root=self.home.root, anonymous="True", start="True")
        os.makedirs(os.path.join(self.home.path, "users"))
        self.home.write_account("alice", PASSWORD)
        now = int(time.time())
        self.files = {  # name as bytes: (age in seconds, content)
            b"old.txt": (2 * 365 * DAY, b"two years old"),
            b"spring.txt": (240 * DAY, b"eight months old"),
            b"recent file.bin": (10 * DAY, b"ten days old\n" * 100),
            b"two  blanks.bin": (3600, b"an hour old"),
            b"future.bin": (-5 * DAY, b"five days ahead"),
            b"caf\xe9.txt": (3 * DAY, b"a name in Latin-1"),
            b"sub/deep.txt": (400 * DAY, b"deep"),
            b"sub/Deep2.BIN": (20 * DAY, b"deeper"),
        }
        root = self.home.root.encode()
        os.makedirs(os.path.join(root, b"sub"))
        for name, (age, data) in self.files.items():
            path = os.path.join(root, name)
            with open(path, "wb") as f:
                f.write(data)
            os.utime(path, (now - age, now - age))
        self.program = Quayport(self.home)
        self.addCleanup(self.program.close)
        wait_for(lambda: greeting_of(self.port), what="the server on port %d" % self.port)

    def disk(self):
        """Each file's listed path (names decoded as Latin-1), its size, listed time and bytes."""
        now = int(time.time())
        out = {}
        for name in self.files:
            st = os.stat(os.path.join(self.home.root.encode(), name))
            with open(os.path.join(self.home.root.encode(), name), "rb") as f:
                data = f.read()
            out["/" + name.decode("latin-1")] = (st.st_size, listed_time(int(st.st_mtime), now), data)
        return out

    def library(self, client):
        done = subprocess.run([client_python(), os.path.join(HERE, "client_views.py"), client, str(self.port),
                               "alice", PASSWORD, "/", "/sub"], capture_output=True, text=True, timeout=120)
        self.assertEqual(done.returncode, 0, done.stderr)
        seen = json.loads(done.stdout)
        self.assertEqual(seen.pop("/sub")["type"], "dir")
        return {path: (e["size"], int(e["mtime"]), bytes.fromhex(e["data"])) for path, e in seen.items()}

    def mget(self, pattern):
        """The files tnftp's mget fetches for a wildcard, by their local paths."""
        self.assertTrue(shutil.which("tnftp"), "tnftp is missing: run scripts/setup")
        local = tempfile.mkdtemp(prefix="tnftp-")
        self.addCleanup(shutil.rmtree, local, True)
        os.makedirs(os.path.join(local, "sub"))
        script = "user alice %s\nbinary\nprompt\nmget %s\nbye\n" % (PASSWORD, pattern)
        subprocess.run(["tnftp", "-n", "127.0.0.1", str(self.port)], input=script.encode(), cwd=local,
                       capture_output=True, timeout=120, check=True)
        fetched = {}
        for folder, _, names in os.walk(local.encode()):
            for name in names:
                path = os.path.join(folder, name)
                with open(path, "rb") as f:
                    fetched[b"/" + os.path.relpath(path, local.encode())] = f.read()
        return fetched

    def expected_mget(self, pattern):
        folder, _, last = pattern.encode().rpartition(b"/")
        return {b"/" + name: data for name, (_, data) in self.files.items()
                if name.rpartition(b"/")[0] == folder and fnmatch.fnmatch(name.rpartition(b"/")[2].lower(), last.lower())}

    def test_clients_read_what_is_on_disk(self):
        rows = [
            # client, what it is given, what it saw
            ("ftputil", "/ and /sub", lambda: self.library("ftputil")),
            ("aioftp", "/ and /sub", lambda: self.library("aioftp")),
            ("tnftp", "*.BIN", lambda: self.mget("*.BIN")),
            ("tnftp", "caf*", lambda: self.mget("caf*")),
            ("tnftp", "sub/*", lambda: self.mget("sub/*")),
            ("tnftp", "[or]*", lambda: self.mget("[or]*")),
        ]
        for client, given, seen in rows:
            with self.subTest(client=client, given=given):
                if client == "tnftp":
                    self.assertEqual(seen(), self.expected_mget(given))
                else:
                    self.assertEqual(seen(), self.disk())
        self.assertEqual(self.program.stop(), 0, self.program.output())


if __name__ == "__main__":
    unittest.main()
