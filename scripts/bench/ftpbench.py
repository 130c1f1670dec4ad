"""What both benchmarks share: the servers they start, the measurements they
take, and the end-to-end harness of the tests (tests/e2e/quaye2e), put on the
import path here, once."""
import os
import shutil
import subprocess
import sys
import threading
import time

TOP = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(TOP, "tests", "e2e"))

from quaye2e import listening_ports, wait_for, wait_greeting  # noqa: E402
from quaye2e.control import Control  # noqa: E402
from quaye2e.enginehost import EngineHost  # noqa: E402

MIB = 1024 * 1024
DEFAULT_BUILD = os.path.join(TOP, "build")


def use_build(build):
    """Names the programs of a build folder as ctest does, unless the environment already names them."""
    build = os.path.abspath(build)
    for variable, path in (("QUAYPORT", "bin/Quayport"), ("QUAYHOMEPREP", "tests/e2e/quayhomeprep"),
                           ("FTPENGINEHOST", "tests/engine/host/ftpenginehost")):
        os.environ.setdefault(variable, os.path.join(build, path))


def control(port):
    """A control connection for timing: no time limit, each command sent at once."""
    return Control(port, timeout=None, nodelay=True)


def login(c, user, password):
    c.cmd("USER " + user, "331")
    c.cmd("PASS " + password, "230")
    c.cmd("TYPE I", "200")


def descendants(pid):
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                ppid = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, IndexError, ValueError):
            continue
        children.setdefault(ppid, []).append(int(entry))
    found, todo = [], [pid]
    while todo:
        p = todo.pop()
        found.append(p)
        todo.extend(children.get(p, []))
    return found


def memory_kib(pid):
    """(RSS summed, PSS summed) over the server process and its children."""
    rss = pss = 0
    for p in descendants(pid):
        try:
            with open(f"/proc/{p}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Rss:"):
                        rss += int(line.split()[1])
                    elif line.startswith("Pss:"):
                        pss += int(line.split()[1])
        except OSError:
            pass
    return rss, pss


class EngineServer:
    """Our engine alone: the engine test host with its permit-all sink."""

    def __init__(self):
        self.host = EngineHost("--quiet")
        self.root = self.host.root
        os.makedirs(self.host.path("upload"))
        self.port, self.pid = self.host.port, self.host.proc.pid
        self.user, self.password = "anonymous", "bench@example.org"

    def stop(self):
        self.host.close()


class VsftpdServer:
    def __init__(self, work):
        if os.geteuid() != 0:
            sys.exit("vsftpd is run as root; start the benchmark as root")
        self.root = os.path.join(work, "anon")
        os.makedirs(os.path.join(self.root, "upload"))
        os.chmod(work, 0o755)
        os.chmod(self.root, 0o555)  # vsftpd refuses a writable anonymous root
        shutil.chown(os.path.join(self.root, "upload"), "ftp", "ftp")
        os.makedirs("/var/run/vsftpd/empty", exist_ok=True)
        conf = os.path.join(work, "vsftpd.conf")
        with open(conf, "w") as f:
            f.write(f"""listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=0
background=NO
anonymous_enable=YES
anon_root={self.root}
no_anon_password=NO
anon_upload_enable=YES
anon_other_write_enable=YES
anon_world_readable_only=NO
write_enable=YES
local_enable=NO
max_clients=5000
max_per_ip=5000
pasv_enable=YES
connect_from_port_20=NO
seccomp_sandbox=NO
xferlog_enable=NO
syslog_enable=NO
vsftpd_log_file=/dev/null
idle_session_timeout=600
data_connection_timeout=300
secure_chroot_dir=/var/run/vsftpd/empty
""")
        self.proc = subprocess.Popen(["/usr/sbin/vsftpd", conf])
        self.pid = self.proc.pid
        self.user, self.password = "anonymous", "bench@example.org"
        # Port 0: the system chooses a free port as vsftpd binds it.
        self.port = wait_for(lambda: listening_ports(self.pid), 10, "vsftpd to listen")[0]
        wait_greeting(self.port, 10)

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=30)


def read_reply(sock, code):
    """Reads up to the last line of a reply with the given code."""
    buf = b""
    while True:
        chunk = sock.recv(65536)
        if not chunk:
            raise ConnectionError(f"closed while waiting for {code!r}: {buf!r}")
        buf += chunk
        if buf.endswith(b"\r\n") and (b"\r\n" + code + b" ") in (b"\r\n" + buf):
            return buf


def store(server, source, name):
    os.sync()  # earlier writes still on their way to disk would slow this one
    c = control(server.port)
    login(c, server.user, server.password)
    data = c.passive()
    start = time.perf_counter()
    c.sock.sendall(f"STOR {name}\r\n".encode())
    assert c.reply().startswith("150")
    with open(source, "rb") as f:
        data.sendfile(f)
    data.close()
    r = c.reply()
    elapsed = time.perf_counter() - start
    assert r.startswith("226"), r
    c.cmd("QUIT")
    c.close()
    return os.path.getsize(source) / MIB / elapsed


def retrieve(server, name, c=None, barrier=None):
    if barrier is None:
        os.sync()
    if c is None:
        c = control(server.port)
        login(c, server.user, server.password)
    data = c.passive()
    if barrier:
        barrier.wait()
    start = time.perf_counter()
    c.sock.sendall(f"RETR {name}\r\n".encode())
    assert c.reply().startswith("150")
    buf = bytearray(4 * MIB)
    view = memoryview(buf)
    total = 0
    while True:
        n = data.recv_into(view)
        if not n:
            break
        total += n
    data.close()
    r = c.reply()
    elapsed = time.perf_counter() - start
    assert r.startswith("226"), r
    c.close()
    return total, elapsed, start, start + elapsed


def parallel_retrieve(server, name, count):
    controls = []
    for _ in range(count):
        c = control(server.port)
        login(c, server.user, server.password)
        controls.append(c)
    barrier = threading.Barrier(count)
    results = [None] * count

    def run(i):
        results[i] = retrieve(server, name, controls[i], barrier)

    threads = [threading.Thread(target=run, args=(i,)) for i in range(count)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    total = sum(r[0] for r in results)
    wall = max(r[3] for r in results) - min(r[2] for r in results)
    return total / MIB / wall, wall


def make_file(path, size):
    block = os.urandom(MIB)
    with open(path, "wb") as f:
        for _ in range(size // MIB):
            f.write(block)
