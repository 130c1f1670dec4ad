"""The ports servers took, port 21's exposure, and the server's connect greeting."""
import errno
import ipaddress
import os
import socket
import struct

from quaye2e.waits import wait_for


def listening(pid):
    """The addresses and TCP ports the process listens on, as the kernel reports them: a server given
    port 0 takes one the system chooses at the moment it binds, and tells it nowhere else."""
    sockets = set()
    for fd in os.listdir("/proc/%d/fd" % pid):
        try:
            target = os.readlink("/proc/%d/fd/%s" % (pid, fd))
        except OSError:  # closed meanwhile
            continue
        if target.startswith("socket:["):
            sockets.add(target[len("socket:["):-1])
    found = set()
    for table, family in (("tcp", socket.AF_INET), ("tcp6", socket.AF_INET6)):
        with open("/proc/%d/net/%s" % (pid, table)) as f:
            for row in f.read().splitlines()[1:]:
                fields = row.split()
                if fields[3] == "0A" and fields[9] in sockets:  # LISTEN
                    address, port = fields[1].split(":")
                    # Words of the address in network order, each written as a number of this machine.
                    raw = b"".join(struct.pack("=I", int(address[i:i + 8], 16)) for i in range(0, len(address), 8))
                    found.add((socket.inet_ntop(family, raw), int(port, 16)))
    return sorted(found)


def listening_ports(pid):
    """The TCP ports the process listens on, each on the loopback address only: a server that
    listens beyond it, where the network can reach it, fails the test."""
    found = listening(pid)
    beyond = [item for item in found if not ipaddress.ip_address(item[0]).is_loopback]
    if beyond:
        raise AssertionError("process %d listens beyond the loopback address: %r" % (pid, beyond))
    return sorted({port for _, port in found})


def bind_error(port):
    """0 when this process could bind the port, else why not (EACCES: not privileged, EADDRINUSE:
    taken). Bound on the loopback address and never listened on: nothing can reach it meanwhile."""
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        try:
            s.bind(("127.0.0.1", port))
        except OSError as e:
            return e.errno
    return 0


def port_bindable(port):
    """Whether this process could listen on the port (privileges, nothing else there)."""
    return bind_error(port) == 0


def why_port_21_would_be_exposed():
    """None when a first start may go on here; else why it would serve port 21, open to anonymous
    users, to the network. A suite that lets the program serve it runs in a network namespace of its
    own (tests/support/private-network); elsewhere it goes on only where this process may not bind
    port 21 at all (one that is taken now may be free a moment later)."""
    if os.environ.get("QUAYPORT_PRIVATE_NETWORK") == "1" or bind_error(21) not in (0, errno.EADDRINUSE):
        return None
    return ("a first start here would serve port 21 to the network: run it in a network namespace of its own "
            "(tests/support/private-network, as root with unshare and ip)")


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


def wait_greeting(port, timeout=20.0):
    """The greeting, once a server answers on the port; bounded."""
    return wait_for(lambda: greeting_of(port), timeout, "the server on port %d" % port)
