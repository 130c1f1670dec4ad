"""A temporary application folder: its CR LF text files in Windows-1252, and
the accounts, groups and virtual folder map as the programs store them,
enciphered by quayhomeprep with the programs' own cipher."""
import os
import shutil
import subprocess
import tempfile

from quaye2e.programs import VERSION, environment, program

# The eight permissions in the order of an account file; a group file has its own.
FLAGS = ("ChangeDir", "DeleteFile", "Dir", "GetFile", "MakeDir", "PutFile", "RemoveDir", "RenameFile")
GROUP_ORDER = ("DeleteFile", "GetFile", "PutFile", "RenameFile", "Dir", "MakeDir", "RemoveDir", "ChangeDir")


def prep(*args, env=None):
    """The output lines of quayhomeprep."""
    out = subprocess.run([program("QUAYHOMEPREP"), *args], check=True, capture_output=True,
                         env=env or dict(os.environ), text=True).stdout
    return out.split("\n")[:-1]


def encipher(*texts):
    """The stored line of each text."""
    lines = prep("encipher", *texts)
    assert len(lines) == len(texts)
    return lines


def decipher(*lines):
    return [line.replace("\\r", "\r").replace("\\n", "\n").replace("\\\\", "\\") for line in prep("decipher", *lines)]


def flag(value):
    return "True" if value else "False"


class AppFolder:
    """A temporary application folder, with or without the folders a first start makes."""

    def __init__(self, prefix, standard_folders):
        self.path = tempfile.mkdtemp(prefix=prefix)
        self.root = os.path.join(self.path, "root")
        if standard_folders:
            for folder in ("logs", "groups", "users", "users/stats", "root"):
                os.makedirs(os.path.join(self.path, folder))

    def cleanup(self):
        shutil.rmtree(self.path, ignore_errors=True)

    def file(self, tail):
        return os.path.join(self.path, tail)

    def exists(self, tail):
        return os.path.exists(self.file(tail))

    def env(self):
        """The environment of a program serving this folder."""
        return environment(QUAYPORT_HOME=self.path)

    def read_bytes(self, tail):
        with open(self.file(tail), "rb") as f:
            return f.read()

    def read_lines(self, tail):
        """The CR LF lines of a file, each without its line end."""
        return self.read_bytes(tail).decode("cp1252").split("\r\n")[:-1]

    def write_lines(self, tail, lines):
        os.makedirs(os.path.dirname(self.file(tail)), exist_ok=True)
        with open(self.file(tail), "wb") as f:
            f.write("".join(line + "\r\n" for line in lines).encode("cp1252"))

    def write_account(self, name, password, group, root=None, adopt=False, flags=None, use_group_home=False,
                      user_id=None):
        flags = flags if flags is not None else {f: True for f in FLAGS}
        password_line, description = encipher(password, "e2e account")
        lines = [flag(adopt)] + [flag(flags[f]) for f in FLAGS]
        lines += [user_id if user_id is not None else name, password_line, description, name + "@example.org",
                  group, root or self.root, flag(use_group_home), VERSION]
        lines += ["<Reserved>"] * 19
        self.write_lines("users/U_" + name, lines)

    def write_group(self, name, root=None, flags=None):
        flags = flags if flags is not None else {f: True for f in FLAGS}
        lines = [flag(flags[f]) for f in GROUP_ORDER] + [root or self.root, VERSION] + ["<Reserved>"] * 19
        self.write_lines("groups/G_" + name, lines)

    def write_virtual_map(self, records):
        header = [VERSION + "*" * 21, "**   Virtual Directory  **", "**   Configuration file **", "*" * 26]
        fields = [field for record in records for field in record]
        self.write_lines("VirtMap.dat", header + (encipher(*fields) if fields else []))

    def log_records(self, name):
        """The six-line records of logs/<name>, as tuples."""
        if not self.exists("logs/" + name):
            return []
        lines = self.read_lines("logs/" + name)
        return [tuple(lines[i:i + 6]) for i in range(0, len(lines) - 5, 6)]

    def log_messages(self, name="S_Log.txt"):
        """The message line of each six-line record of a log."""
        return [record[5] for record in self.log_records(name)]
