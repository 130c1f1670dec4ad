"""Nothing a client names reaches outside its home and virtual folders."""
import os
import socket
import stat
import tempfile
import unittest

from quaye2e.enginehost import HostTest
from quaye2e.folders import below


def tree(folder):
    """Every name below folder with its type and content."""
    def described(path):
        st = os.lstat(path)
        data = None
        if stat.S_ISREG(st.st_mode):
            with open(path, "rb") as f:
                data = f.read()
        return stat.S_IFMT(st.st_mode), data

    return below(folder, described)


class Confinement(HostTest):
    def setUp(self):
        super().setUp()
        outside = self.host.dir.name
        with open(os.path.join(outside, "outside.txt"), "w") as f:
            f.write("secret")
        os.symlink(outside, self.host.path("escape"))
        self.host.write("sub/in.txt", b"inside")
        os.symlink(self.host.path("sub"), self.host.path("inlink"))
        self.host.write("a.txt", b"a")
        self.host.write("b.txt", b"b")
        self.r = self.raw()
        self.r.login()

    def test_lexical_climbing_stops_at_the_root(self):
        for path in ("../outside.txt", "../../../outside.txt", "/../outside.txt", "..\\outside.txt",
                     "\\..\\..\\outside.txt", "sub/../../outside.txt", "/etc/passwd"):
            self.assertEqual(self.r.cmd("RETR " + path), "550 Failed to open file.", path)
            self.assertTrue(self.r.cmd("SIZE " + path).startswith("550"), path)
        self.assertTrue(self.r.cmd("CWD ../../..").startswith("250"))
        self.assertEqual(self.r.cmd("PWD"), '257 "/" is the current directory.')
        self.assertTrue(self.r.cmd("CWD sub\\..\\sub").startswith("250"))
        self.assertEqual(self.r.cmd("PWD"), '257 "/sub" is the current directory.')

    def test_symbolic_link_out_of_the_home(self):
        self.assertEqual(self.r.cmd("RETR escape/outside.txt"), "550 Failed to open file.")
        self.assertTrue(self.r.cmd("CWD escape").startswith("550"))
        self.assertTrue(self.r.cmd("MKD escape/newdir").startswith("550"))
        self.assertFalse(os.path.exists(os.path.join(self.host.dir.name, "newdir")))
        self.r.cmd("PASV")
        self.assertTrue(self.r.cmd("STOR escape/dropped.txt").startswith("553"))
        self.assertTrue(self.r.cmd("DELE escape/outside.txt").startswith("550"))
        self.assertTrue(os.path.exists(os.path.join(self.host.dir.name, "outside.txt")))
        # Renaming out through the link is refused, and the file stays.
        self.assertTrue(self.r.cmd("RNFR a.txt").startswith("350"))
        self.assertTrue(self.r.cmd("RNTO escape/moved.txt").startswith("550"))
        self.assertTrue(os.path.exists(self.host.path("a.txt")))
        self.host.sync()
        sizing = self.host.of("Sizing")[-1]
        self.assertEqual((sizing["path"], sizing["size"]), ("", -1))
        # A link that stays inside works.
        self.assertEqual(self.r.cmd("SIZE inlink/in.txt"), "213 6")

    def test_listing_hides_links_that_lead_out(self):
        f = self.host.ftp()
        self.assertEqual(sorted(f.nlst()), ["a.txt", "b.txt", "inlink", "sub"])
        with self.assertRaises(Exception):
            f.nlst("escape")
        f.quit()

    def test_rename_never_replaces_and_names_are_case_sensitive(self):
        self.assertTrue(self.r.cmd("RNFR a.txt").startswith("350"))
        self.assertEqual(self.r.cmd("RNTO b.txt"), "550 Rename failed.")
        with open(self.host.path("b.txt")) as f:
            self.assertEqual(f.read(), "b")
        self.assertTrue(self.r.cmd("SIZE A.TXT").startswith("550"))
        self.assertTrue(self.r.cmd("RNFR a.txt").startswith("350"))
        self.assertEqual(self.r.cmd("RNTO c.txt"), "250 Rename successful.")
        self.host.sync()
        self.assertEqual(self.host.of("RenameFile")[-1]["arg"], "a.txt -> c.txt")


# Each verb that names a path: the command (with the notification it raises
# first), what the data connection carries, the reply when the path leads
# outside (or to a special file) and when it leads to a folder inside.
VERBS = [
    ("STOR {}/new.txt", "PutFile", b"data", "553", "226"),
    ("APPE {}/f.txt", "PutFile", b"+more", "553", "226"),
    ("RETR {}/f.txt", "GetFile", None, "550", "226"),
    ("LIST {}", "DirItem", None, "550", "226"),
    ("NLST {}", "DirItem", None, "550", "226"),
    ("CWD {}", None, None, "550", "250"),
    ("SIZE {}/f.txt", None, None, "550", "213"),
    ("MDTM {}/f.txt", None, None, "550", "213"),
    ("MKD {}/made", None, None, "550", "257"),
    ("RMD {}/sub", None, None, "550", "250"),
    ("DELE {}/f.txt", None, None, "550", "250"),
    ("RNFR {}/f.txt", None, None, "550", "350"),
    ("RNTO {}/moved.txt", None, None, "550", "250"),
]


class UseTimeConfinement(HostTest):
    """Paths are confined when they are used: a folder swapped for a link out
    between a transfer command and its data connection (or before any other
    command) leads nowhere, a FIFO or socket put in a file's place is refused
    without blocking, and links that stay inside work, relative or absolute."""

    def fill(self, folder):
        os.makedirs(os.path.join(folder, "sub"))
        with open(os.path.join(folder, "f.txt"), "wb") as f:
            f.write(b"content")

    def swap(self, case, how):
        incoming, inside = self.host.path(case, "incoming"), self.host.path(case, "inside")
        if how == "special":
            os.remove(os.path.join(incoming, "f.txt"))
            os.mkfifo(os.path.join(incoming, "f.txt"))
            listener = socket.socket(socket.AF_UNIX)
            self.addCleanup(listener.close)
            listener.bind(os.path.join(incoming, "new.txt"))
            return
        os.rename(incoming, self.host.path(case, "was"))
        target = {"out": self.outside, "relative": "inside", "absolute": inside}[how]
        os.symlink(target, incoming)

    def run_case(self, r, index, command, notification, data, how):
        case = "case%d" % index
        self.fill(self.host.path(case, "incoming"))
        self.fill(self.host.path(case, "inside"))
        if command.startswith("RNTO"):
            self.host.write(case + "/mine.txt", b"mine")
            r.cmd("RNFR %s/mine.txt" % case, "350")
        line = command.format(case + "/incoming")
        if not notification:
            self.swap(case, how)
            return r.cmd(line)
        port = int(r.cmd("EPSV", "229").split("|||")[1].split("|")[0])
        before = len(self.host.of(notification))
        r.send(line)
        # Once the command has been looked at, and before its data connection comes.
        self.host.wait_for(lambda e: len(self.host.of(notification)) > before)
        self.host.sync()
        self.swap(case, how)
        channel = socket.create_connection(("127.0.0.1", port), timeout=10)
        first = r.reply()
        if first.startswith("150"):
            if data:
                channel.sendall(data)
            else:
                while channel.recv(65536):
                    pass
        channel.close()
        return first if not first.startswith("150") else r.reply()

    def test_every_verb_is_confined_when_used(self):
        self.outside = os.path.join(self.host.dir.name, "outside")
        self.fill(self.outside)
        before = tree(self.outside)
        r = self.raw()
        r.login()
        index = 0
        for command, notification, data, refused, granted in VERBS:
            for how in ("out", "special", "relative", "absolute"):
                if how == "special" and command.split()[0] not in ("STOR", "APPE", "RETR"):
                    continue
                index += 1
                reply = self.run_case(r, index, command, notification, data, how)
                expected = refused if how in ("out", "special") else granted
                self.assertTrue(reply.startswith(expected), (command, how, reply))
                self.assertEqual(r.cmd("NOOP"), "200 NOOP command successful.")
                self.assertEqual(tree(self.outside), before, (command, how))
                r.cmd("CWD /", "250")
        # What went through a link inside landed inside.
        with open(self.host.path("case%d" % index, "inside", "moved.txt"), "rb") as f:
            self.assertEqual(f.read(), b"mine")


class VirtualFolders(HostTest):
    @classmethod
    def setUpClass(cls):
        cls.realdir = tempfile.TemporaryDirectory(prefix="engine-real-")
        real = os.path.join(cls.realdir.name, "real")
        os.makedirs(os.path.join(real, "deep"))
        with open(os.path.join(real, "deep", "r.txt"), "w") as f:
            f.write("real file")
        with open(os.path.join(cls.realdir.name, "beside.txt"), "w") as f:
            f.write("not yours")
        os.symlink(cls.realdir.name, os.path.join(real, "up"))
        cls.host_args = ("--folder", f"pub|/|{real}", "--folder", "docs|/sub/|" + real)

    @classmethod
    def tearDownClass(cls):
        cls.realdir.cleanup()

    def test_virtual_folder_shows_and_maps(self):
        os.makedirs(self.host.path("sub"))
        f = self.host.ftp()
        self.assertIn("pub", f.nlst())
        self.assertIn("sub/docs", f.nlst("sub"))
        self.assertEqual(f.nlst("p?b"), ["pub"])
        self.assertEqual(f.size("pub/deep/r.txt"), 9)
        self.assertEqual(f.size("/sub/docs/deep/r.txt"), 9)
        f.cwd("pub/deep")
        self.assertEqual(f.pwd(), "/pub/deep")
        lines = []
        f.retrlines("LIST /", lines.append)
        self.assertTrue(any(l.startswith("d") and l.endswith(" pub") for l in lines), lines)
        f.quit()

    def test_virtual_folder_confines_too(self):
        r = self.raw()
        r.login()
        for path in ("pub/up/beside.txt", "pub/../beside.txt", "pub/deep/../../../beside.txt"):
            self.assertTrue(r.cmd("SIZE " + path).startswith("550"), path)
        self.assertTrue(r.cmd("RMD pub").startswith("550"))
        self.assertTrue(r.cmd("DELE pub").startswith("550"))
        self.assertTrue(r.cmd("RNFR pub").startswith("550"))
        self.assertTrue(r.cmd("RNFR pub/deep/r.txt").startswith("350"))
        self.assertTrue(r.cmd("RNTO pub").startswith("550"))
        self.assertTrue(os.path.exists(os.path.join(self.realdir.name, "real", "deep", "r.txt")))


if __name__ == "__main__":
    unittest.main()
