"""A temporary application folder and the real Quayport serving it, offscreen."""
import os
import random
import shutil
import signal
import socket
import subprocess
import tempfile
import time

QUAYPORT = os.environ["QUAYPORT"]
PREP = os.environ["QUAYHOMEPREP"]
VERSION = "1.0.3"


def wait_for(predicate, timeout=20.0, what="condition"):
    """Polls until predicate() gives a true value, and returns it; bounded."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.02)


def free_port():
    """A port that nothing listens on just now, in 1025..32767: the settings hold a 16-bit port."""
    for _ in range(200):
        port = random.randint(20000, 32767)
        if port_bindable(port):
            return port
    raise AssertionError("no free port below 32768")


def port_bindable(port):
    """Whether this process could listen on the port (privileges, nothing else there)."""
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        try:
            s.bind(("", port))
        except OSError:
            return False
    return True


def greeting_of(port):
    """The connect greeting on the port, or None while nothing answers."""
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=2) as s:
            s.settimeout(5)
            data = b""
            while b"\r\n220 " not in data and not data.startswith(b"220 "):
                chunk = s.recv(4096)
                if not chunk:
                    break
                data += chunk
            return data.decode("cp1252")
    except OSError:
        return None


def prep(*args):
    out = subprocess.run([PREP, *args], check=True, capture_output=True, env=dict(os.environ), text=True).stdout
    return out.split("\n")[:-1]


def decipher(*lines):
    return [line.replace("\\r", "\r").replace("\\n", "\n").replace("\\\\", "\\") for line in prep("decipher", *lines)]


class Home:
    """A temporary application folder."""

    def __init__(self):
        self.path = tempfile.mkdtemp(prefix="quayport-e2e-")
        self.root = os.path.join(self.path, "root")

    def cleanup(self):
        shutil.rmtree(self.path, ignore_errors=True)

    def file(self, tail):
        return os.path.join(self.path, tail)

    def exists(self, tail):
        return os.path.exists(self.file(tail))

    def read_bytes(self, tail):
        with open(self.file(tail), "rb") as f:
            return f.read()

    def read_lines(self, tail):
        """The CR LF lines of a file, each without its line end."""
        data = self.read_bytes(tail).decode("cp1252")
        assert data == "" or data.endswith("\r\n"), tail + " does not end with CR LF"
        return data.split("\r\n")[:-1]

    def write_lines(self, tail, lines):
        os.makedirs(os.path.dirname(self.file(tail)), exist_ok=True)
        with open(self.file(tail), "wb") as f:
            f.write("".join(line + "\r\n" for line in lines).encode("cp1252"))

    def env(self):
        return dict(os.environ, QUAYPORT_HOME=self.path)

    def write_config(self, **settings):
        args = ["%s=%s" % item for item in settings.items()]
        subprocess.run([PREP, "config", *args], check=True, env=self.env())

    def settings(self):
        """The nine settings of Config.txt in clear, and the whole line list."""
        lines = self.read_lines("Config.txt")
        return decipher(*lines[:9]), lines

    def write_account(self, name, password, group="public"):
        password_line, description = prep("encipher", password, "e2e account")
        lines = ["False"] + ["True"] * 8 + [name, password_line, description, name + "@example.org", group,
                                            self.root, "True", VERSION] + ["<Reserved>"] * 19
        self.write_lines("users/U_" + name, lines)

    def log_messages(self, name="S_Log.txt"):
        """The message line of each six-line record of a log."""
        if not self.exists("logs/" + name):
            return []
        lines = self.read_lines("logs/" + name)
        return [lines[i + 5] for i in range(0, len(lines) - 5, 6)]


class Quayport:
    """The program, started offscreen on a Home; ended with SIGTERM."""

    def __init__(self, home):
        self.home = home
        self.scratch = tempfile.mkdtemp(prefix="quayport-xdg-")
        runtime = os.path.join(self.scratch, "runtime")
        os.makedirs(runtime, mode=0o700)
        env = home.env()
        env.update(QT_QPA_PLATFORM="offscreen", XDG_DATA_HOME=os.path.join(self.scratch, "data"))
        env.setdefault("XDG_RUNTIME_DIR", runtime)
        self.log = open(os.path.join(self.scratch, "output.txt"), "w+b")
        self.process = subprocess.Popen([QUAYPORT], env=env, stdin=subprocess.DEVNULL, stdout=self.log,
                                        stderr=subprocess.STDOUT)

    def stop(self, timeout=20):
        """Asks the program to end as a session end would; its exit status."""
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
                raise AssertionError("Quayport did not end on SIGTERM")
        return self.process.returncode

    def output(self):
        """What the program wrote to standard output and error."""
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.log.close()
        shutil.rmtree(self.scratch, ignore_errors=True)
