"""The real Quayport read by clients whose listing parsers are strict: Debian's
ftputil and aioftp list the folders and fetch every file, tnftp's mget fetches
what wildcards name. Every listed name, size and date and every fetched byte
is compared with the disk: old, recent and future files, a name whose bytes
are not UTF-8, names with blanks."""
import fnmatch
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from quaye2e import greeting_of, wait_for
from quaye2e.quayport import Home, Quayport

# Listings give the server's local time, which the libraries read as UTC.
os.environ["TZ"] = "UTC"
VIEWS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "client_views.py")
PASSWORD = "s3cret!pw"
DAY = 24 * 3600
FILES = {  # name: (age in days, bytes)
    b"old.txt": (730, b"two years old"),
    b"spring.txt": (240, b"eight months old"),
    b"recent file.bin": (10, b"ten days old\n" * 100),
    b"two  blanks.bin": (0.05, b"an hour old"),
    b"future.bin": (-5, b"five days ahead"),
    b"caf\xe9.txt": (3, b"a name in Latin-1"),
    b"sub/deep.txt": (400, b"deep"),
    b"sub/Deep2.BIN": (20, b"deeper"),
}


def client_python():
    """The Python that has both libraries: this one, or Debian's own."""
    for python in (sys.executable, "/usr/bin/python3"):
        if subprocess.run([python, "-c", "import ftputil, aioftp"], capture_output=True).returncode == 0:
            return python
    raise AssertionError("python3-ftputil and python3-aioftp are missing: run scripts/setup")


class ClientCompatibility(unittest.TestCase):
    def setUp(self):
        self.home = Home()
        self.addCleanup(self.home.cleanup)
        self.home.write_config(port="0", root=self.home.root, anonymous="True", start="True")
        os.makedirs(os.path.join(self.home.root, "sub"))
        os.makedirs(self.home.file("users"))
        self.home.write_account("alice", PASSWORD)
        now = time.time()
        for name, (age, data) in FILES.items():
            path = os.path.join(self.home.root.encode(), name)
            with open(path, "wb") as f:
                f.write(data)
            os.utime(path, (now - age * DAY,) * 2)
        self.program = Quayport(self.home)
        self.addCleanup(self.program.close)
        self.port = self.program.port()
        wait_for(lambda: greeting_of(self.port), what="the server")

    def disk(self):
        """Per path (read as Latin-1): size, the time a listing tells (the
        minute for the last six months, as ls, else the day) and bytes."""
        out, now = {}, int(time.time())
        for name, (_, data) in FILES.items():
            mtime = int(os.stat(os.path.join(self.home.root.encode(), name)).st_mtime)
            listed = mtime // 60 * 60 if 0 <= now - mtime < 31556952 // 2 else mtime // DAY * DAY
            out["/" + name.decode("latin-1")] = [len(data), listed, data.hex()]
        return out

    def library(self, client):
        done = subprocess.run([client_python(), VIEWS, client, str(self.port), "alice", PASSWORD, "/", "/sub"],
                              capture_output=True, text=True, timeout=120)
        self.assertEqual(done.returncode, 0, done.stderr)
        seen = json.loads(done.stdout)
        self.assertIsNone(seen.pop("/sub")[2])  # the folder itself
        return {path: [size, int(mtime), data] for path, (size, mtime, data) in seen.items()}

    def mget(self, pattern):
        """What tnftp's mget fetches, by local path, and what it should."""
        local = tempfile.mkdtemp(prefix="tnftp-")
        self.addCleanup(shutil.rmtree, local, True)
        os.makedirs(os.path.join(local, "sub"))
        self.assertTrue(shutil.which("tnftp"), "tnftp is missing: run scripts/setup")
        script = b"user alice %s\nbinary\nprompt\nmget %s\nbye\n" % (PASSWORD.encode(), pattern)
        subprocess.run(["tnftp", "-n", "127.0.0.1", str(self.port)], input=script, cwd=local, capture_output=True,
                       timeout=120, check=True)
        fetched = {}
        for folder, _, names in os.walk(local.encode()):
            for name in names:
                with open(os.path.join(folder, name), "rb") as f:
                    fetched[os.path.relpath(os.path.join(folder, name), local.encode())] = f.read()
        where, _, last = pattern.rpartition(b"/")
        wanted = {name: data for name, (_, data) in FILES.items() if name.rpartition(b"/")[0] == where
                  and fnmatch.fnmatch(name.rpartition(b"/")[2].lower(), last.lower())}
        return fetched, wanted

    def test_clients_read_what_is_on_disk(self):
        for client in ("ftputil", "aioftp"):
            with self.subTest(client=client):
                self.assertEqual(self.library(client), self.disk())
        for pattern in (b"*.BIN", b"caf*", b"sub/*", b"[or]*"):
            with self.subTest(client="tnftp", mget=pattern):
                fetched, wanted = self.mget(pattern)
                self.assertEqual(fetched, wanted)
        self.assertEqual(self.program.stop(), 0, self.program.output())
