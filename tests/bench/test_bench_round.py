"""One short round of each benchmark: a few logins and a small transfer on
every server that can run here. vsftpd runs only as root where it is
installed, and the Xvfb display only where Xvfb is; without them those parts
are skipped."""
import os
import shutil
import subprocess
import sys
import unittest

BENCH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "bench")
ENGINE_ROUND = ["--sessions", "5", "--login-seconds", "0.2", "--size-mib", "1", "--parallel", "3",
                "--parallel-mib", "1", "--rounds", "1", "--settle", "0"]
CONSOLE_ROUND = ["--clients", "2", "--held", "5", "--many", "10", "--login-seconds", "0.2", "--noops", "10",
                 "--size-mib", "1", "--rounds", "1", "--settle", "0", "--old-logs", "100", "--anonymous-lines", "1000",
                 "--big-group-noops", "3", "--small-stores", "5", "--cpu-sessions", "3", "6", "--cpu-noops", "10",
                 "--listing-entries", "300", "--unread-listings", "2"]


def vsftpd_here():
    return os.geteuid() == 0 and os.path.exists("/usr/sbin/vsftpd")


class BenchmarkRound(unittest.TestCase):
    def run_bench(self, script, *args):
        done = subprocess.run([sys.executable, os.path.join(BENCH, script), *args], capture_output=True, text=True,
                              timeout=60)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        return done.stdout

    def test_engine(self):
        out = self.run_bench("engine-benchmark", "--server", "quay", *ENGINE_ROUND)
        self.assertIn("quay memory: idle server RSS", out)
        self.assertIn("3 parallel RETR 1 MiB, MiB/s together: median", out)

    def test_console_offscreen_and_engine(self):
        out = self.run_bench("console-benchmark", "--display", "offscreen", "--servers", "quayport", "engine",
                             *CONSOLE_ROUND)
        lines = out.splitlines()
        self.assertEqual(lines[0].split(), ["quayport-offscreen", "engine"])
        for label in ("logins/s, 2 clients, 5 held", "server CPU us per login", "NOOP median us, 11 open",
                      "RSS MiB, 10 idle sessions", "STOR 1 MiB, MiB/s", "RETR 1 MiB, MiB/s",
                      "226 after last byte ms, STOR new 1 MiB", "226 after last byte ms, STOR over 1 MiB",
                      "server CPU us per 4 KiB STOR over a file", "anonymous logins/s, new addresses",
                      "server CPU us per NOOP, 6 open", "LIST s, 300 entries",
                      "worst NOOP ms of another session, same"):
            cells = [line[len(label):].split() for line in lines if line.startswith(label + " ")]
            self.assertEqual(len(cells), 1, out)
            self.assertTrue(all(float(cell) >= 0 for cell in cells[0]) and len(cells[0]) == 2, out)
        # A few sessions' memory is within the noise and may come out negative.
        memory = [line.split()[-2:] for line in lines if line.startswith("KiB (PSS) per idle logged-in session ")]
        self.assertEqual(len(memory), 1, out)
        self.assertEqual(len([float(cell) for cell in memory[0]]), 2, out)
        self.assertIn("quayport-offscreen / engine: logins", out)
        self.assertEqual(len([line for line in lines if line.startswith("RSS growth MiB, 2 unread LISTs ")]), 1, out)
        logs = [line.split()[-2:] for line in lines if line.startswith("logins/s, 100 old logs + 1 new/s ")]
        self.assertEqual(len(logs), 1, out)
        self.assertTrue(float(logs[0][0]) > 0 and logs[0][1] == "-", out)
        against = [line.split()[-2:] for line in lines if line.startswith("CPU per login against the engine ")]
        self.assertEqual(len(against), 1, out)
        self.assertTrue(float(against[0][0].rstrip("x")) > 0 and against[0][1] == "-", out)
        big = [line.split()[-2:] for line in lines if line.startswith("NOOP median us, 100 MB group line ")]
        self.assertEqual(len(big), 1, out)
        self.assertTrue(float(big[0][0]) > 0 and big[0][1] == "-", out)

    @unittest.skipUnless(shutil.which("Xvfb"), "Xvfb is not installed")
    def test_console_on_xvfb(self):
        out = self.run_bench("console-benchmark", "--display", "xvfb", "--servers", "quayport", *CONSOLE_ROUND)
        self.assertEqual(out.splitlines()[0].split(), ["quayport-xvfb"])

    @unittest.skipUnless(vsftpd_here(), "vsftpd runs as root where it is installed")
    def test_vsftpd(self):
        out = self.run_bench("engine-benchmark", "--server", "quay", "vsftpd", *ENGINE_ROUND)
        self.assertIn("quay / vsftpd: logins", out)


if __name__ == "__main__":
    unittest.main()
