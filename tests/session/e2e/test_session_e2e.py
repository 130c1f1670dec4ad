"""The FTP engine with the real session handlers, driven by ftplib and curl."""
import ftplib
import io
import os
import shutil
import socket
import subprocess
import unittest

from quaye2e import VERSION, wait_for
from quaye2e.appfolder import FLAGS
from quaye2e.control import Control
from quaye2e.folders import below
from quaye2e.sessionhost import QuayHome, SessionHost, day_stamp

PASSWORD = "s3cretPw"
SILENT = ("220", "230-", "221 Good", "230 Date")


class Transcript(ftplib.FTP):
    """ftplib that keeps every control line it sends and receives."""

    def __init__(self):
        super().__init__(timeout=20)
        self.lines = []

    def putline(self, line):
        self.lines.append(("C", line))
        super().putline(line)

    def getline(self):
        line = super().getline()
        self.lines.append(("S", line))
        return line


def expected_log(transcript, user):
    """(user, message) of every record the per-event logs must hold for one
    session whose account is found: each traced line with the rewriting and
    filtering rules (the greeting's lines left out), the login line, and the
    disconnection line."""
    out = []
    name = ""
    logged_in = False
    in_greeting = False
    for side, line in transcript:
        text = line.strip()
        record_user = name
        # The greeting's lines between its first and last are its text, not events.
        if side == "S" and line.startswith("220-"):
            in_greeting = True
        elif side == "S" and line.startswith("220 "):
            in_greeting = False
        elif side == "S" and in_greeting:
            continue
        if side == "C" and text.upper().startswith("USER ") and not logged_in:
            name = text[5:]
        if logged_in and (text[:4].upper() == "NOOP" or text[:8].upper() == "200 NOOP"):
            continue
        if side == "S" and text.startswith("230") and not logged_in:
            out.append((name, "230 %s login ok." % name))
            logged_in = True
        if text.startswith(SILENT):
            continue
        if text.startswith("230 "):
            text = "230 %s login ok." % record_user
        if text.upper().startswith("PASS") and len(text) > 4:
            text = "PASS " + "*" * (len(text) - 5)
        out.append((record_user, text))
    out.append((user, "221 User has disconnected"))
    return out


class SessionCase(unittest.TestCase):
    def setUp(self):
        self.home = QuayHome()
        self.addCleanup(self.home.cleanup)
        self.home.write_group("staff")
        self.home.write_account("bob", PASSWORD, "staff")
        self.host = None

    def start(self, **config):
        self.home.write_config(**config)
        self.host = SessionHost(self.home)
        self.addCleanup(self.host.close)
        return self.host

    def ftp(self, user="bob", password=PASSWORD):
        client = Transcript()
        client.connect("127.0.0.1", self.host.port)
        if user is not None:
            client.login(user, password)
        return client

    def disconnections(self):
        return [r for r in self.home.log_records("S_Log.txt") if r[5].startswith("221 ")]

    def wait_for_logouts(self, count):
        wait_for(lambda: len(self.disconnections()) >= count, timeout=10, what="%d logouts" % count)

    def all_log_bytes(self):
        data = b""
        for name in os.listdir(self.home.file("logs")):
            with open(self.home.file("logs/" + name), "rb") as f:
                data += f.read()
        return data


class Replies(SessionCase):
    def test_greeting_and_login_reply(self):
        self.start()
        client = self.ftp(user=None)
        self.assertEqual(client.getwelcome(),
                         "220-Corvalen FTP Server v" + VERSION + "\n    Welcome\n    \n    to the e2e\n220 Enter login details")
        reply = client.login("bob", PASSWORD)
        lines = reply.split("\n")
        self.assertEqual(lines[0], "230-Hello there")
        self.assertRegex(lines[1], r"^230 Date .+, Time .+\.$")
        self.assertEqual(len(lines), 2)
        client.quit()
        self.wait_for_logouts(1)
        console = self.host.console()
        self.assertIn("INFO Quayport Started and waiting for connections.", console)
        self.assertGreaterEqual(console.count("TREE "), 2)  # after the login and after the logout

    def raw(self, user, password, then_noop=False):
        """Everything the server sends after PASS: up to the close, or up to
        the reply to a NOOP sent after it. Each call comes from an address of
        its own, so that the delays of failed logins do not add up."""
        self.sources = getattr(self, "sources", 1) + 1
        with socket.create_connection(("127.0.0.1", self.host.port), timeout=20,
                                      source_address=("127.0.0.%d" % self.sources, 0)) as s:
            reader = s.makefile("rb")
            line = b""
            while not line.startswith(b"220 "):
                line = reader.readline()
            s.sendall(b"USER " + user.encode() + b"\r\n")
            self.assertTrue(reader.readline().startswith(b"331 "))
            s.sendall(b"PASS " + password.encode() + b"\r\n" + (b"NOOP\r\n" if then_noop else b""))
            out = b""
            while True:
                line = reader.readline()
                out += line
                if not line or (then_noop and line.startswith(b"200 ")):
                    return out

    def test_each_refusal_is_one_reply_on_the_wire(self):
        self.home.write_account("alias", PASSWORD, "staff", user_id="somebody")
        self.home.write_account("anonymous", "unused", "public")
        self.home.write_group("public")
        lines = self.home.read_lines("users/U_bob")
        lines[10] = ""  # no password stored
        self.home.write_lines("users/U_nopass", lines[:9] + ["nopass"] + lines[10:])
        self.start(anonymous=False)

        self.assertEqual(self.raw("carol", "x"), b"530 No user account exists. Please try again.\r\n")
        self.assertEqual(self.raw("../users/U_bob", PASSWORD), b"530 No user account exists. Please try again.\r\n")
        self.assertEqual(self.raw("alias", PASSWORD), b"530 User name is different from configuration name.\r\n")
        self.assertEqual(self.raw("anonymous", "me@example.org"), b"530 anonymous not enabled at this site.\r\n")
        self.assertEqual(self.raw("guest", "me@example.org"), b"530 anonymous not enabled at this site.\r\n")
        self.assertEqual(self.raw("bob", "wrongpass", then_noop=True),
                         b"530 Invalid password.\r\n200 NOOP command successful.\r\n")
        self.assertEqual(self.raw("nopass", "", then_noop=True),
                         b"530 Invalid password.\r\n200 NOOP command successful.\r\n")

        # After login, PASS with nothing after it ends the session.
        with socket.create_connection(("127.0.0.1", self.host.port), timeout=20) as s:
            reader = s.makefile("rb")
            s.sendall(("USER bob\r\nPASS %s\r\n" % PASSWORD).encode())
            line = b""
            while not line.startswith(b"230 "):
                line = reader.readline()
                self.assertTrue(line)
            s.sendall(b"PASS\r\n")
            self.assertEqual(reader.read(), b"530 Empty password not allowed.\r\n")

        self.wait_for_logouts(8)
        messages = [r[5] for r in self.home.log_records("S_Log.txt")]
        for text in ("530 No user account exists. Please try again.", "530 User name is different from configuration name.",
                     "530 anonymous not enabled at this site.", "530 Invalid password.",
                     "530 Empty password not allowed."):
            self.assertIn(text, messages)
        self.assertNotIn(b"wrongpass", self.all_log_bytes())
        self.assertNotIn(PASSWORD.encode(), self.all_log_bytes())
        self.assertFalse(os.path.exists(self.home.file("logs/U_carol.txt")))


class Anonymous(SessionCase):
    def test_anonymous_login_and_its_log(self):
        self.home.write_group("public")
        self.home.write_account("anonymous", "whatever", "public", use_group_home=True)
        self.start(anonymous=True)
        client = self.ftp("anonymous", "visitor@example.org")
        client.quit()
        # "guest" is another name for it, before login as after.
        client = self.ftp("Guest", "caller@example.org")
        client.quit()
        self.wait_for_logouts(2)
        self.assertIn("visitor@example.org", self.home.read_lines("logs/anonymous_passwords.txt"))
        self.assertIn("caller@example.org", self.home.read_lines("logs/anonymous_passwords.txt"))
        for log in ("S_Log.txt", "U_anonymous.txt", "G_public.txt"):
            self.assertIn(("anonymous", "public", "127.0.0.1", "230 anonymous login ok."),
                          [r[2:] for r in self.home.log_records(log)], log)


class VirtualFolders(SessionCase):
    def test_virtual_folder_from_the_map_is_visible_and_usable(self):
        real = self.home.file("outside")
        os.makedirs(real)
        with open(os.path.join(real, "v.txt"), "wb") as f:
            f.write(b"virtual content")
        self.home.write_virtual_map([("shared", "/stale", self.home.root.upper(), real),
                                     ("elsewhere", "/", self.home.file("users"), real)])
        self.start()
        client = self.ftp()
        self.assertIn("shared", client.nlst())
        self.assertNotIn("elsewhere", client.nlst())
        data = io.BytesIO()
        client.retrbinary("RETR shared/v.txt", data.write)
        self.assertEqual(data.getvalue(), b"virtual content")
        client.storbinary("STOR shared/new.txt", io.BytesIO(b"up"))
        client.quit()
        with open(os.path.join(real, "new.txt"), "rb") as f:
            self.assertEqual(f.read(), b"up")


def snapshot(folder):
    return below(folder, lambda path: (os.stat(path).st_size, os.stat(path).st_mtime_ns, os.path.isdir(path)))


class Refusals(SessionCase):
    def test_refused_operations_leave_the_file_system_untouched(self):
        self.home.write_account("ro", PASSWORD, "staff", flags={f: False for f in FLAGS})
        os.makedirs(os.path.join(self.home.root, "sub"))
        with open(os.path.join(self.home.root, "keep.txt"), "wb") as f:
            f.write(b"keep")
        before = snapshot(self.home.root)
        self.start()
        client = self.ftp("ro")
        attempts = [
            lambda: client.storbinary("STOR new.txt", io.BytesIO(b"x")),
            lambda: client.retrbinary("RETR keep.txt", lambda b: None),
            lambda: client.delete("keep.txt"),
            lambda: client.mkd("made"),
            lambda: client.rmd("sub"),
            lambda: client.rename("keep.txt", "moved.txt"),
            lambda: client.cwd("sub"),
            lambda: client.nlst(),
        ]
        for attempt in attempts:
            with self.assertRaises(ftplib.error_perm) as refused:
                attempt()
            self.assertTrue(str(refused.exception).startswith("550"), str(refused.exception))
        self.assertEqual(client.voidcmd("NOOP")[:3], "200")
        client.quit()
        self.wait_for_logouts(1)
        self.assertEqual(snapshot(self.home.root), before)
        messages = [r[5] for r in self.home.log_records("U_ro.txt")]
        self.assertIn("550 Access denied", messages)
        self.assertFalse(any(name.startswith("ro.") for name in os.listdir(self.home.file("users/stats"))))

    def test_size_and_time_only_for_who_may_list_or_get(self):
        nothing = {f: False for f in FLAGS}
        self.home.write_account("ro", PASSWORD, "staff", flags=nothing)
        self.home.write_account("getter", PASSWORD, "staff", flags=dict(nothing, GetFile=True))
        self.home.write_account("lister", PASSWORD, "staff", flags=dict(nothing, Dir=True))
        with open(os.path.join(self.home.root, "keep.txt"), "wb") as f:
            f.write(b"fourteen bytes")
        self.start()
        for user in ("getter", "lister"):
            client = self.ftp(user)
            self.assertEqual(client.sendcmd("SIZE keep.txt"), "213 14", user)
            self.assertRegex(client.sendcmd("MDTM keep.txt"), r"^213 \d{14}$")
            with self.assertRaises(ftplib.error_perm) as missing:
                client.sendcmd("SIZE missing.txt")
            self.assertEqual(str(missing.exception), "550 Could not get file size.")
            client.quit()
        client = self.ftp("ro")
        # Whether the file exists or not, a user with no rights learns nothing.
        for command in ("SIZE keep.txt", "MDTM keep.txt", "SIZE missing.txt"):
            with self.assertRaises(ftplib.error_perm) as refused:
                client.sendcmd(command)
            self.assertEqual(str(refused.exception), "550 Access denied.", command)
        client.pwd()
        client.quit()
        self.wait_for_logouts(3)
        messages = [r[5] for r in self.home.log_records("U_ro.txt")]
        start = messages.index("SIZE keep.txt")
        self.assertEqual(messages[start:start + 8], [
            "SIZE keep.txt", "550 Access denied.", "MDTM keep.txt", "550 Access denied.",
            "SIZE missing.txt", "550 Access denied.", "PWD", '257 "/" is the current directory.'])
        self.assertFalse(any(name.startswith("ro.") for name in os.listdir(self.home.file("users/stats"))))


    def test_without_rights_no_answer_tells_whether_a_name_exists(self):
        """RNFR, LIST and NLST answer a session without rights alike for any
        name, a refused listing with its 550 alone; with the rights they tell
        names apart as before."""
        self.home.write_account("ro", PASSWORD, "staff", flags={f: False for f in FLAGS})
        with open(os.path.join(self.home.root, "f.txt"), "wb") as f:
            f.write(b"x")
        self.start()
        denied = ("550 Access denied.", "550 Access denied.")
        rows = [
            # user, command: the first reply for f.txt, then for nope.txt
            ("ro", "RNFR", denied), ("ro", "LIST", denied), ("ro", "NLST", denied),
            ("bob", "RNFR", ("350 Ready for RNTO.", "550 RNFR command failed.")),
            ("bob", "LIST", ("150 Here comes the directory listing.", "550 No such file or directory.")),
            ("bob", "NLST", ("150 Here comes the directory listing.", "550 No such file or directory.")),
        ]
        clients = {}
        for user, command, expected in rows:
            if user not in clients:
                clients[user] = Control(self.host.port, timeout=20)
                clients[user].login(user, PASSWORD)
            c = clients[user]
            for name, reply in zip(("f.txt", "nope.txt"), expected):
                data = c.passive() if command != "RNFR" else None
                first = c.cmd("%s %s" % (command, name))
                self.assertEqual(first, reply, (user, command, name))
                if first.startswith("150"):
                    while data.recv(65536):
                        pass
                    self.assertTrue(c.reply().startswith("226"))
                if data:
                    data.close()
                if first.startswith("350"):
                    c.cmd("ABOR")  # ends the rename
        for c in clients.values():
            c.cmd("QUIT")
            c.close()
        self.wait_for_logouts(2)
        messages = [r[5] for r in self.home.log_records("U_ro.txt")]
        self.assertIn("LIST nope.txt", messages)
        self.assertFalse([m for m in messages if m.startswith(("150", "350"))], messages)
        self.assertEqual(messages[messages.index("NLST nope.txt") + 1:][:1], ["550 Access denied."])


class Statistics(SessionCase):
    def test_bob_session_records_and_numbers(self):
        down = os.urandom(5678)
        with open(os.path.join(self.home.root, "down.bin"), "wb") as f:
            f.write(down)
        up = os.urandom(1234)
        self.start()
        stamps = {day_stamp()}
        client = self.ftp()
        client.storbinary("STOR up.bin", io.BytesIO(up))
        got = io.BytesIO()
        client.retrbinary("RETR down.bin", got.write)
        self.assertEqual(got.getvalue(), down)
        client.delete("up.bin")
        client.voidcmd("NOOP")
        client.quit()
        self.wait_for_logouts(1)
        stamps.add(day_stamp())

        expected = expected_log(client.lines, "bob")
        server = self.home.log_records("S_Log.txt")
        self.assertEqual([(r[2], r[5]) for r in server],
                         [(u or "New Connection", m) for u, m in expected])
        for record in server:
            self.assertRegex(record[0], r"^\d\d-\d\d-\d{4}$")
            self.assertRegex(record[1], r"^\d\d:\d\d:\d\d$")
            self.assertEqual(record[3], "staff" if record[2] == "bob" else "Unknown")
            self.assertEqual(record[4], "127.0.0.1")
        bob = [r for r in server if r[2] == "bob"]
        self.assertEqual(self.home.log_records("U_bob.txt"), bob)
        self.assertEqual(self.home.log_records("G_staff.txt"), bob)
        self.assertIn("PASS " + "*" * len(PASSWORD), [r[5] for r in bob])
        self.assertNotIn(PASSWORD.encode(), self.all_log_bytes())

        self.assertEqual(self.home.counters("bob"), {
            "SentCount": ["1"], "SentSize": ["1234"],
            "ReceivedCount": ["1"], "ReceivedSize": ["5678"],
            "TransferedCount": ["2"], "TransferedSize": [str(1234 + 5678)],
            "DelCount": ["1"], "DelSize": ["1234"],
        })
        trend = ["1", "1", "1", "2", "1234", "5678", "1234", str(1234 + 5678)]
        self.assertEqual(self.home.read_lines("users/stats/Trend_bob.txt"), trend)
        # The day of the logout: today, or yesterday when the session ran over midnight.
        for prefix in ("Trend_User_Day_bob", "Trend_Group_Day_staff"):
            names = ["users/stats/%s.%s.txt" % (prefix, stamp) for stamp in stamps]
            found = [name for name in names if os.path.exists(self.home.file(name))]
            self.assertEqual(len(found), 1, prefix)
            self.assertEqual(self.home.read_lines(found[0]), trend)

    def test_a_counter_that_cannot_be_written_is_reported_and_serving_goes_on(self):
        os.makedirs(self.home.file("users/stats/bob.Sent_File_Count.txt"))  # a folder, not a file
        self.start()
        client = self.ftp()
        client.storbinary("STOR up.bin", io.BytesIO(b"12345"))
        self.assertEqual(client.size("up.bin"), 5)
        got = io.BytesIO()
        client.retrbinary("RETR up.bin", got.write)
        self.assertEqual(got.getvalue(), b"12345")
        client.quit()
        self.wait_for_logouts(1)
        errors = [line for line in self.host.console() if line.startswith("ERROR ")]
        self.assertEqual(len(errors), 1, errors)
        self.assertTrue(errors[0].endswith("|in Quayport.frmMain.IFtpEngineNotify_TransferFinished at line 5"),
                        errors[0])
        # The download after it is counted as usual.
        self.assertEqual(self.home.read_lines("users/stats/bob.Received_File_Count.txt"), ["1"])

    @unittest.skipUnless(shutil.which("curl"), "curl is not installed")
    def test_curl_transfers_are_counted_and_its_password_masked(self):
        with open(os.path.join(self.home.root, "down.bin"), "wb") as f:
            f.write(b"d" * 300)
        upload = self.home.file("upload.bin")
        with open(upload, "wb") as f:
            f.write(b"u" * 200)
        self.start()
        url = "ftp://127.0.0.1:%d/" % self.host.port
        subprocess.run(["curl", "-sS", "--user", "bob:" + PASSWORD, "-T", upload, url + "curl.bin"], check=True,
                       timeout=60)
        out = subprocess.run(["curl", "-sS", "--user", "bob:" + PASSWORD, url + "down.bin"], check=True,
                             capture_output=True, timeout=60).stdout
        self.assertEqual(out, b"d" * 300)
        self.wait_for_logouts(2)
        counters = self.home.counters("bob")
        self.assertEqual(counters["SentSize"], ["200"])
        self.assertEqual(counters["ReceivedSize"], ["300"])
        self.assertEqual(counters["TransferedCount"], ["2"])
        self.assertEqual(len(self.home.read_lines("users/stats/Trend_bob.txt")), 16)
        self.assertNotIn(PASSWORD.encode(), self.all_log_bytes())
        self.assertEqual(len([r for r in self.home.log_records("U_bob.txt") if r[5] == "230 bob login ok."]), 2)


    def test_what_a_transfer_moved_is_counted(self):
        """Resumed transfers count what they moved, not the file's size, and an
        upload renamed away meanwhile is counted, not taken for an empty one."""
        big = os.path.join(self.home.root, "big.bin")
        with open(big, "wb") as f:
            f.truncate(5 * 1024 ** 3)  # sparse
        with open(os.path.join(self.home.root, "grow.bin"), "wb") as f:
            f.write(b"g")
        self.start()
        client = self.ftp()
        other = self.ftp()

        def download_tail():
            got = io.BytesIO()
            client.retrbinary("RETR big.bin", got.write, rest=5 * 1024 ** 3 - 8)
            self.assertEqual(got.getvalue(), bytes(8))

        def resume_upload():
            client.storbinary("STOR big.bin", io.BytesIO(b"r" * 32), rest=4500000000)
            self.assertEqual(os.path.getsize(big), 4500000032)

        def append_renamed_away():
            conn = client.transfercmd("APPE grow.bin")
            conn.sendall(b"a" * (4 * 1024 * 1024))
            other.rename("grow.bin", "moved.bin")
            conn.sendall(b"a" * (4 * 1024 * 1024))
            conn.close()
            self.assertTrue(client.voidresp().startswith("226"))

        rows = [(download_tail, "Received", 8), (resume_upload, "Sent", 32),
                (append_renamed_away, "Sent", 8 * 1024 * 1024)]
        sizes = {"Sent": 0, "Received": 0}
        for action, kind, moved in rows:
            action()
            sizes[kind] += moved
            wait_for(lambda: self.home.counters("bob").get(kind + "Size") == [str(sizes[kind])], timeout=10,
                     what="%s counted" % action.__name__)
        client.quit()
        other.quit()
        self.wait_for_logouts(2)
        self.assertEqual(self.home.counters("bob")["TransferedSize"], [str(8 + 32 + 8 * 1024 * 1024)])
        self.assertFalse([r for r in self.home.log_records("S_Log.txt") if r[5].startswith("Removing")])


class EmptyUploads(SessionCase):
    def upload_empty(self):
        client = self.ftp()
        client.storbinary("STOR empty.txt", io.BytesIO(b""))
        client.quit()
        self.wait_for_logouts(1)
        return os.path.join(self.home.root, "empty.txt")

    def test_removed_and_logged_while_put0byte_is_on(self):
        self.start(put0byte=True)
        path = self.upload_empty()
        self.assertFalse(os.path.exists(path))
        removal = [r for r in self.home.log_records("S_Log.txt") if r[5].startswith("Removing 0 byte file ")]
        self.assertEqual(len(removal), 1)
        self.assertEqual(removal[0][2:5], ("bob", "staff", "127.0.0.1"))
        self.assertTrue(removal[0][5].endswith("empty.txt"))
        self.assertTrue(any(line.startswith("ROW ") and "Removing 0 byte file" in line for line in self.host.console()))
        self.assertEqual(self.home.counters("bob")["SentCount"], ["1"])

    def test_kept_while_put0byte_is_off(self):
        self.start(put0byte=False)
        path = self.upload_empty()
        self.assertTrue(os.path.exists(path))
        self.assertFalse(any(r[5].startswith("Removing") for r in self.home.log_records("S_Log.txt")))
        self.assertEqual(self.home.counters("bob")["SentSize"], ["0"])


if __name__ == "__main__":
    unittest.main()
