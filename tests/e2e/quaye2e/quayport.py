"""The real Quayport serving a temporary application folder, offscreen."""
import os
import shutil
import signal
import subprocess
import tempfile

from quaye2e.appfolder import AppFolder, decipher
from quaye2e.ports import listening_ports
from quaye2e.programs import program
from quaye2e.waits import wait_for


class Home(AppFolder):
    """An empty application folder, as before a first start."""

    def __init__(self):
        super().__init__("quayport-e2e-", standard_folders=False)

    def read_lines(self, tail):
        """The CR LF lines of a file, each without its line end; every line must end so."""
        data = self.read_bytes(tail).decode("cp1252")
        assert data == "" or data.endswith("\r\n"), tail + " does not end with CR LF"
        return data.split("\r\n")[:-1]

    def write_config(self, **settings):
        """Config.txt as the program writes it; names as quayhomeprep config takes them."""
        args = ["%s=%s" % item for item in settings.items()]
        subprocess.run([program("QUAYHOMEPREP"), "config", *args], check=True, env=self.env())

    def settings(self):
        """The nine settings of Config.txt in clear, and the whole line list."""
        lines = self.read_lines("Config.txt")
        return decipher(*lines[:9]), lines

    def write_account(self, name, password, group="public"):
        """An account with every permission, rooted at the server root, using its group's folder."""
        super().write_account(name, password, group, use_group_home=True)


class Quayport:
    """The program, started on a Home; ended with SIGTERM. Offscreen, or with
    its window shown on the X display named; without a session bus when
    session_bus is false."""

    def __init__(self, home, display=None, session_bus=True):
        self.home = home
        self.scratch = tempfile.mkdtemp(prefix="quayport-xdg-")
        runtime = os.path.join(self.scratch, "runtime")
        os.makedirs(runtime, mode=0o700)
        env = home.env()
        env.update(QT_QPA_PLATFORM="offscreen", XDG_DATA_HOME=os.path.join(self.scratch, "data"))
        if display:
            env.update(QT_QPA_PLATFORM="xcb", DISPLAY=display)
        if session_bus:
            env.setdefault("XDG_RUNTIME_DIR", runtime)
        else:  # as outside a desktop session
            env.pop("DBUS_SESSION_BUS_ADDRESS", None)
            env["XDG_RUNTIME_DIR"] = runtime
        self.log = open(os.path.join(self.scratch, "output.txt"), "w+b")
        self.process = subprocess.Popen([program("QUAYPORT")], env=env, stdin=subprocess.DEVNULL, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        self.pid = self.process.pid

    def port(self, timeout=30):
        """The port the server listens on, once it does. Its settings name port 0 in tests: the
        system chooses a free one as it binds, so no other suite can take it first."""
        def listening():
            if self.process.poll() is not None:
                raise AssertionError("Quayport ended before it served: " + self.output())
            return listening_ports(self.pid)

        ports = wait_for(listening, timeout, "Quayport to listen")
        if len(ports) != 1:
            raise AssertionError("Quayport listens on %r, not on one port" % ports)
        return ports[0]

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
