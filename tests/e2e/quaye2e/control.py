"""A bare FTP control connection, for exact replies."""
import re
import socket


class Control:
    """Connects and reads the greeting. timeout=None waits as long as it takes
    (the benchmarks); nodelay sends each command at once; source is the local
    address to connect from (another loopback address is another client)."""

    def __init__(self, port, host="127.0.0.1", timeout=10, nodelay=False, source=None):
        self.sock = socket.create_connection((host, port), timeout=timeout,
                                             source_address=(source, 0) if source else None)
        if nodelay:
            self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.file = self.sock.makefile("rb")
        self.greeting = self.reply()

    def line(self):
        line = self.file.readline()
        if not line:
            raise EOFError("connection closed")
        return line.decode("utf-8", "replace").rstrip("\r\n")

    def reply(self):
        """The whole reply, its lines joined by LF."""
        first = self.line()
        lines = [first]
        if len(first) > 3 and first[3] == "-":
            while not (lines[-1][:3] == first[:3] and lines[-1][3:4] == " "):
                lines.append(self.line())
        return "\n".join(lines)

    def reply_bytes(self):
        """The whole reply as the bytes sent, its lines joined by LF."""
        lines = [self.file.readline().rstrip(b"\r\n")]
        if len(lines[0]) > 3 and lines[0][3:4] == b"-":
            while not (lines[-1][:3] == lines[0][:3] and lines[-1][3:4] == b" "):
                lines.append(self.file.readline().rstrip(b"\r\n"))
        return b"\n".join(lines)

    def send(self, data):
        self.sock.sendall(data if isinstance(data, bytes) else data.encode() + b"\r\n")

    def cmd(self, text, expect=None):
        """The reply to one command; with expect, a reply that does not start so fails."""
        self.send(text)
        reply = self.reply()
        if expect and not reply.startswith(expect):
            raise AssertionError("%r -> %r" % (text, reply))
        return reply

    def login(self, user="bob", password="secret"):
        """The reply to PASS."""
        self.cmd("USER " + user)
        return self.cmd("PASS " + password)

    def passive(self):
        """A data connection to the address PASV names, on the loopback."""
        numbers = re.search(r"(\d+),(\d+),(\d+),(\d+),(\d+),(\d+)", self.cmd("PASV", "227")).groups()
        return socket.create_connection(("127.0.0.1", int(numbers[4]) * 256 + int(numbers[5])))

    def closed(self, timeout=10):
        """True once the server has closed the connection."""
        self.sock.settimeout(timeout)
        try:
            self.file.read()
            return True
        except socket.timeout:
            return False
        except OSError:
            return True

    def close(self):
        for part in (self.file, self.sock):
            try:
                part.close()
            except OSError:
                pass
