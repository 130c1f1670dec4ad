"""Free ports and the server's connect greeting."""
import random
import socket

from quaye2e.waits import wait_for


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


def wait_greeting(port, timeout=20.0):
    """The greeting, once a server answers on the port; bounded."""
    return wait_for(lambda: greeting_of(port), timeout, "the server on port %d" % port)
