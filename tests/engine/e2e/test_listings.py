"""Listings: wildcards in NLST and LIST, and a large listing that goes out in
slices, as fast as its reader takes it, while other sessions are served."""
import ftplib
import os
import socket

from quaye2e.enginehost import HostTest


class Wildcards(HostTest):
    def test_wildcards_expand_in_the_last_component(self):
        for name in ("a.bin", "B.BIN", "c.txt", "my file.bin", "[x].txt", "sub/deep.txt", "sub/Deep2.TXT"):
            self.host.write(name, name.encode())
        os.makedirs(self.host.path("sub", "deeper"))
        f = self.host.ftp()
        rows = [
            # argument, the names NLST gives (None: refused); LIST shows the same entries
            ("*.BIN", ["B.BIN", "a.bin", "my file.bin"]),
            ("[!a]*.bin", ["B.BIN", "my file.bin"]),
            ("?.tx?", ["c.txt"]),
            ("[x].txt", ["[x].txt"]),  # a name that is there stands for itself
            ("sub", ["sub/Deep2.TXT", "sub/deep.txt", "sub/deeper"]),
            ("/sub/D*.txt", ["/sub/Deep2.TXT", "/sub/deep.txt"]),
            ("sub/deep.txt", ["sub/deep.txt"]),
            ("nomatch*", []),
            ("nowhere/*", None),
            ("s*/deep.txt", None),  # only the last component is expanded
        ]
        for argument, names in rows:
            if names is None:
                self.assertRaises(ftplib.error_perm, f.nlst, argument)
                continue
            self.assertEqual(f.nlst(argument), names, argument)
            lines = []
            self.assertEqual(f.retrlines("LIST " + argument, lines.append), "226 Listing complete.")
            self.assertEqual([line.split(None, 8)[-1] for line in lines], [n.split("/")[-1] for n in names])
        f.quit()


class LargeListing(HostTest):
    def test_a_large_listing_goes_out_in_slices(self):
        """Every entry once, in name order, FilesLeft counting down to 0 at the
        last and the end reply after it; another session is answered while the
        listing waits for its reader, which takes it slowly."""
        names = ["%s%05d" % ("n" * 200, i) for i in range(30000)]  # more than the socket buffers hold
        for name in names:
            open(self.host.path(name), "wb").close()
        lister = self.raw()
        lister.login()
        other = self.raw()
        other.login("carol")
        port = int(lister.cmd("EPSV").split("|||")[1].split("|")[0])
        data = socket.socket()
        data.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        data.connect(("127.0.0.1", port))
        self.assertEqual(lister.cmd("NLST"), "150 Here comes the directory listing.")
        self.assertEqual(other.cmd("NOOP"), "200 NOOP command successful.")
        got = bytearray()
        while chunk := data.recv(1 << 20):
            got += chunk
        data.close()
        self.assertEqual(lister.reply(), "226 Listing complete.")
        self.assertEqual(got.decode().split("\r\n"), names + [""])
        self.host.sync()
        items = [i for i, e in enumerate(self.host.events) if e["e"] == "DirItem" and e["user"] == "bob"]
        self.assertEqual([self.host.events[i]["left"] for i in items], [0] + list(range(len(names) - 1, -1, -1)))
        noop = [i for i, e in enumerate(self.host.events) if e["e"] == "Debug" and e["msg"] == "NOOP"]
        self.assertLess(noop[0], items[-1])
