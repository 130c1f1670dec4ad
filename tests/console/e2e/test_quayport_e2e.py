"""The real Quayport, offscreen in a temporary application folder: the first
run in an empty folder, serving ftplib and curl, a second start, the remap of
a missing root, and ending on SIGTERM."""
import ftplib
import io
import os
import socket
import stat
import subprocess
import types
import unittest

from quaye2e import VERSION, environment, greeting_of, port_bindable, wait_for, why_port_21_would_be_exposed
from quaye2e.quayport import Home, Quayport

DEFAULT_GREETING = (
    "\r\n"
    "\r\n"
    "Welcome to Corvalen FTP Server   \r\n"
    "\r\n"
    "We have tested Quayport with the \r\n"
    "following client programs.\r\n"
    "\r\n"
    "* Standard Windows FTP Client.\r\n"
    "\r\n"
    "* Tabbed graphical clients. Note: \r\n"
    "  You need to set the configuration to\r\n"
    "  'FORCE RFC compliant PASV' in Edit, \r\n"
    "  Settings, Connection and Server specific.\r\n"
    "\r\n"
    "* Explorer-style clients.  We recommend \r\n"
    "  you set 'Transfer items larger than 5 \r\n"
    "  kilobytes' to 99999 in View, Options, Transfers.  \r\n"
    "  This stops the client from connecting multiple \r\n"
    "  times for file transfers.\r\n"
    "\r\n"
    "* Lightweight clients. When defining the connection, \r\n"
    "  specify host type as IBM PC/TCPIP.\r\n"
)

PREPARATION = ("logs", "groups", "users", "users/stats", "root", "users/U_anonymous", "groups/G_public")


class QuayportCase(unittest.TestCase):
    def setUp(self):
        self.home = Home()
        self.addCleanup(self.home.cleanup)

    def start(self):
        program = Quayport(self.home)
        self.addCleanup(program.close)
        return program

    def stop(self, program):
        status = program.stop()
        self.assertEqual(status, 0, program.output())

    def creating(self, *tails):
        return ["Creating " + os.path.join(self.home.path, tail) for tail in tails]


class FirstRun(QuayportCase):
    def test_first_run_in_an_empty_folder(self):
        why = why_port_21_would_be_exposed()
        if why:
            self.skipTest(why)
        # Port 21 is served when this process could bind it; else the start is refused, which the program
        # reports in a box, and everything but the listening is checked alike.
        may_listen = port_bindable(21)
        program = self.start()
        wait_for(lambda: "Writing new configuration file." in self.home.log_messages(), what="the first-run records")
        # The line is logged just before the file is written.
        wait_for(lambda: self.home.exists("Config.txt"), what="the new settings file")

        self.assertEqual(self.home.log_messages()[:9],
                         self.creating(*PREPARATION) + self.creating("config.txt") +
                         ["Writing new configuration file."])
        account = self.home.read_lines("users/U_anonymous")
        self.assertEqual(len(account), 36)
        self.assertEqual(account[10], "WGYrWFX1pK7pWj+YWD79Iw")
        self.assertEqual(account[:10], ["True"] * 9 + ["anonymous"])
        self.assertEqual(account[13:17], ["public", self.home.root, "True", VERSION])
        self.assertEqual(account[17:], ["<Reserved>"] * 19)
        group = self.home.read_lines("groups/G_public")
        self.assertEqual(group, ["True"] * 8 + [self.home.root, VERSION] + ["<Reserved>"] * 19)
        self.assertEqual(self.home.read_lines("logs/anonymous_passwords.txt"),
                         ["*** " + VERSION + " Email addresses from anonymous users ***"])

        # The record comes just before the file is written.
        wait_for(lambda: self.home.exists("Config.txt"), what="the settings file")
        settings, lines = self.home.settings()
        self.assertEqual(len(lines), 59)
        self.assertEqual(lines[9], VERSION)
        self.assertEqual(settings[1:5], ["21", "5", "True", self.home.root])
        self.assertEqual(settings[5], DEFAULT_GREETING)
        self.assertEqual(settings[6:], ["Send comments to support@quayport.example", "True", "True"])
        self.assertTrue(settings[0])

        if may_listen:
            greeting = wait_for(lambda: greeting_of(21), what="the server on port 21")
            expected = ["220-Corvalen FTP Server v" + VERSION] + \
                ["    " + line for line in DEFAULT_GREETING.split("\r\n")] + ["220 Enter login details", ""]
            self.assertEqual(greeting.split("\r\n"), expected)
            client = ftplib.FTP()
            client.connect("127.0.0.1", 21, timeout=20)
            client.login("anonymous", "first@example.org")
            client.storbinary("STOR first.txt", io.BytesIO(b"first run\r\n"))
            client.quit()
            with open(os.path.join(self.home.root, "first.txt"), "rb") as f:
                self.assertEqual(f.read(), b"first run\r\n")
        self.stop(program)


class Serving(QuayportCase):
    def setUp(self):
        super().setUp()
        self.home.write_config(port="0", root=self.home.root, greeting="Hello\r\nfrom e2e",
                               loggedon="Enjoy", anonymous="True", start="True")
        os.makedirs(os.path.join(self.home.path, "users"))
        self.home.write_account("alice", "s3cret!pw")

    def serve(self):
        program = self.start()
        self.port = program.port()
        wait_for(lambda: greeting_of(self.port), what="the server on port %d" % self.port)
        return program

    def test_ftplib_and_curl_transfer_files(self):
        program = self.serve()
        # The settings file was there: only the missing folders and default files were made.
        self.assertEqual(self.home.log_messages()[:6],
                         self.creating("logs", "groups", "users/stats", "root", "users/U_anonymous",
                                       "groups/G_public"))

        client = ftplib.FTP()
        client.connect("127.0.0.1", self.port, timeout=20)
        self.assertTrue(client.getwelcome().startswith("220-Corvalen FTP Server v" + VERSION))
        client.login("alice", "s3cret!pw")
        payload = os.urandom(200000)
        client.storbinary("STOR data.bin", io.BytesIO(payload))
        self.assertIn("data.bin", client.nlst())
        back = io.BytesIO()
        client.retrbinary("RETR data.bin", back.write)
        self.assertEqual(back.getvalue(), payload)
        client.mkd("sub")
        client.quit()
        with open(os.path.join(self.home.root, "data.bin"), "rb") as f:
            self.assertEqual(f.read(), payload)
        self.assertTrue(os.path.isdir(os.path.join(self.home.root, "sub")))

        refused = ftplib.FTP()
        refused.connect("127.0.0.1", self.port, timeout=20)
        with self.assertRaises(ftplib.error_perm) as failure:
            refused.login("alice", "wrong")
        self.assertTrue(str(failure.exception).startswith("530"))
        refused.close()

        url = "ftp://127.0.0.1:%d/" % self.port
        fetched = subprocess.run(["curl", "-sS", "--max-time", "30", "--user", "alice:s3cret!pw", url + "data.bin"],
                                 check=True, capture_output=True).stdout
        self.assertEqual(fetched, payload)
        upload = os.path.join(self.home.path, "upload.txt")
        with open(upload, "wb") as f:
            f.write(b"from curl\r\n")
        subprocess.run(["curl", "-sS", "--max-time", "30", "--user", "anonymous:curl@example.org", "-T", upload,
                        url + "curl.txt"], check=True, capture_output=True)
        wait_for(lambda: os.path.exists(os.path.join(self.home.root, "curl.txt")), what="the curl upload")
        with open(os.path.join(self.home.root, "curl.txt"), "rb") as f:
            self.assertEqual(f.read(), b"from curl\r\n")

        wait_for(lambda: "221 User has disconnected" in self.home.log_messages("U_alice.txt"),
                 what="alice's disconnection")
        messages = self.home.log_messages()
        self.assertIn("230 alice login ok.", messages)
        self.assertIn("230 anonymous login ok.", messages)
        # The session handlers keep the user's counters; two downloads and one upload here.
        self.assertTrue(self.home.exists("users/stats/alice.Received_File_Count.txt"))
        self.assertTrue(self.home.exists("users/stats/alice.Sent_File_Count.txt"))
        self.assertEqual(self.home.read_lines("logs/anonymous_passwords.txt")[1:], ["curl@example.org"])
        self.stop(program)

    def test_fifos_in_the_places_of_logs_stop_nobody(self):
        # Each append to a FIFO is refused and reported at once; nothing waits for a reader that never comes.
        fifos = ("logs/S_Log.txt", "logs/U_alice.txt", "users/stats/Trend_alice.txt")
        for tail in fifos:
            os.makedirs(os.path.dirname(self.home.file(tail)), exist_ok=True)
            os.mkfifo(self.home.file(tail))
        program = self.serve()
        client = ftplib.FTP()
        client.connect("127.0.0.1", self.port, timeout=20)
        client.login("alice", "s3cret!pw")
        client.storbinary("STOR fifo.txt", io.BytesIO(b"served"))
        self.assertIn("fifo.txt", client.nlst())
        client.quit()
        self.stop(program)
        for tail in fifos:
            self.assertTrue(stat.S_ISFIFO(os.lstat(self.home.file(tail)).st_mode), tail)

    def test_a_second_start_creates_nothing(self):
        self.stop(self.serve())
        creating = [m for m in self.home.log_messages() if m.startswith("Creating ")]
        self.assertEqual(len(creating), 6)
        self.stop(self.serve())
        # The only new records are those of the probe that saw the server answer.
        self.assertEqual([m for m in self.home.log_messages() if m.startswith(("Creating ", "*** "))], creating)

    def test_a_missing_root_is_remapped_and_served(self):
        gone = os.path.join(self.home.path, "gone")
        self.home.write_config(port="0", root=gone, start="True")
        program = self.serve()
        self.assertEqual(self.home.settings()[0][4], self.home.root)
        messages = self.home.log_messages()
        self.assertIn("*** WARNING *** %s is missing." % gone, messages)
        self.assertIn("*** REMAPPING SERVER ROOT FOLDER TO: " + self.home.root, messages)
        client = ftplib.FTP()
        client.connect("127.0.0.1", self.port, timeout=20)
        client.login("anonymous", "remap@example.org")
        client.storbinary("STOR here.txt", io.BytesIO(b"remapped"))
        client.quit()
        self.assertTrue(os.path.exists(os.path.join(self.home.root, "here.txt")))
        self.stop(program)

    def test_ending_closes_the_sessions(self):
        program = self.serve()
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as s:
            wait_for(lambda: s.recv(4096), what="the greeting")
            self.stop(program)
            s.settimeout(10)
            rest = b""
            while True:
                chunk = s.recv(4096)
                if not chunk:
                    break
                rest += chunk
        self.assertIsNone(greeting_of(self.port))


class UnusableFolder(QuayportCase):
    def test_a_folder_the_files_cannot_name_or_that_is_missing_is_refused_untouched(self):
        # A Greek letter would be stored as "?"; a missing folder would be made, with a server open to anonymous users.
        cases = ((os.path.join(self.home.path, "z\u03b4"), "has characters that the settings and account files cannot store"),
                 (os.path.join(self.home.path, "missing", "home"), "does not exist or is not a folder"))
        os.mkdir(cases[0][0])
        for folder, reason in cases:
            with self.subTest(folder=folder):
                program = Quayport(types.SimpleNamespace(env=lambda: environment(QUAYPORT_HOME=folder)))
                self.addCleanup(program.close)
                try:
                    status = program.process.wait(timeout=30)
                except subprocess.TimeoutExpired:
                    self.fail("Quayport did not refuse " + folder)
                self.assertEqual(status, 1, program.output())
                self.assertIn('The application folder "%s" %s' % (folder, reason), program.output())
                self.assertEqual(os.listdir(folder) if os.path.exists(folder) else None,
                                 [] if folder == cases[0][0] else None)


if __name__ == "__main__":
    unittest.main()
