"""Starts the engine test host on a free port and collects its notifications."""
import json
import os
import resource
import subprocess
import tempfile
import threading
import time
import unittest

from quaye2e.activeftp import FTP
from quaye2e.control import Control
from quaye2e.ports import listening_ports
from quaye2e.programs import environment, program


class EngineHost:
    def __init__(self, *extra, rlimits=None):
        self.dir = tempfile.TemporaryDirectory(prefix="engine-e2e-")
        self.root = os.path.join(self.dir.name, "home")
        os.makedirs(self.root)
        binary = program("FTPENGINEHOST")

        def limit():  # as `ulimit` or a service's LimitFSIZE=, LimitNOFILE= would
            for which, value in rlimits.items():
                resource.setrlimit(which, (value, value))

        self.proc = subprocess.Popen([binary, "--root", self.root, *extra], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True, bufsize=1, env=environment(),
                                     preexec_fn=limit if rlimits else None)
        self.port = int(self.proc.stdout.readline().split()[1])
        assert listening_ports(self.proc.pid) == [self.port], "the engine host is not listening as it said"
        self.events = []
        self.cond = threading.Condition()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.proc.stdout:
            with self.cond:
                self.events.append(json.loads(line))
                self.cond.notify_all()

    def wait_for(self, predicate, timeout=10):
        """The first event (after those already matched) for which predicate holds."""
        deadline = time.time() + timeout
        with self.cond:
            while True:
                for e in self.events:
                    if predicate(e):
                        return e
                left = deadline - time.time()
                if left <= 0:
                    raise AssertionError("no matching event; last: %r" % self.events[-5:])
                self.cond.wait(left)

    def request(self, line, timeout=10):
        """Sends a control request; returns its 'done' event."""
        with self.cond:
            start = len(self.events)
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        deadline = time.time() + timeout
        with self.cond:
            while True:
                for e in self.events[start:]:
                    if e["e"] == "done":
                        return e, self.events[start:]
                left = deadline - time.time()
                if left <= 0:
                    raise AssertionError("request %r not answered" % line)
                self.cond.wait(left)

    def sync(self):
        """Every notification raised so far has arrived once this returns."""
        self.request("sessions")

    def of(self, kind, **match):
        with self.cond:
            return [e for e in self.events if e["e"] == kind and all(e.get(k) == v for k, v in match.items())]

    def close(self):
        try:
            self.proc.stdin.close()
        except OSError:
            pass
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        self.reader.join(timeout=5)
        self.proc.stdout.close()
        self.dir.cleanup()

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def write(self, name, data):
        p = self.path(name)
        os.makedirs(os.path.dirname(p), exist_ok=True)
        with open(p, "wb") as f:
            f.write(data)
        return p

    def ftp(self, user="bob", password="secret", passive=True):
        f = FTP()
        f.connect("127.0.0.1", self.port, timeout=10)
        f.login(user, password)
        f.set_pasv(passive)
        return f


class HostTest(unittest.TestCase):
    host_args = ()
    rlimits = None  # {resource.RLIMIT_...: value} for the host process

    def setUp(self):
        self.host = EngineHost(*self.host_args, rlimits=self.rlimits)
        self.addCleanup(self.host.close)
        self.addCleanup(self.check_logouts)

    def check_logouts(self):
        """Every session that ended had one UserLogout, outside its other notifications."""
        self.host.sync()
        logouts = self.host.of("UserLogout")
        self.assertEqual(len({e["sid"] for e in logouts}), len(logouts))
        self.assertFalse([e for e in logouts if e["nested"] or e["listed"]])

    def raw(self, source=None):
        """A bare control connection, for exact replies."""
        r = Control(self.host.port, source=source)
        self.addCleanup(r.close)
        return r
