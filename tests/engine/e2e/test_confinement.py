"""Nothing a client names reaches outside its home and virtual folders."""
import os
import tempfile
import unittest

from quaye2e.enginehost import HostTest


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
        self.assertIn("docs", f.nlst("sub"))
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
