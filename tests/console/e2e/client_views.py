"""What a client library makes of a server's folders: run with the Python that
has the library (Debian's python3-ftputil and python3-aioftp live beside
/usr/bin/python3). Names are decoded as Latin-1, as a client whose control
encoding is Latin-1 does.

    client_views.py ftputil|aioftp PORT USER PASSWORD FOLDER...

Prints one JSON object: for each entry of each folder ("/sub/name"), its
type, size, modification time in seconds (UTC) and, for a file, its bytes
as fetched, in hex."""
import asyncio
import calendar
import json
import sys
import time


def with_ftputil(port, user, password, folders):
    import ftputil
    import ftputil.session
    factory = ftputil.session.session_factory(port=port, encoding="latin-1")
    seen = {}
    with ftputil.FTPHost("127.0.0.1", user, password, session_factory=factory) as host:
        for folder in folders:
            for name in host.listdir(folder):
                path = folder.rstrip("/") + "/" + name
                st = host.stat(path)
                entry = {"type": "dir" if host.path.isdir(path) else "file", "size": st.st_size,
                         "mtime": st.st_mtime}
                if entry["type"] == "file":
                    with host.open(path, "rb") as f:
                        entry["data"] = f.read().hex()
                seen[path] = entry
    return seen


async def with_aioftp(port, user, password, folders):
    import aioftp
    seen = {}
    async with aioftp.Client.context("127.0.0.1", port, user, password, encoding="latin-1") as client:
        for folder in folders:
            for path, info in await client.list(folder):
                key = folder.rstrip("/") + "/" + path.name
                entry = {"type": info["type"], "size": int(info["size"]),
                         "mtime": calendar.timegm(time.strptime(info["modify"], "%Y%m%d%H%M%S"))}
                if entry["type"] == "file":
                    async with client.download_stream(key) as stream:
                        entry["data"] = b"".join([block async for block in stream.iter_by_block()]).hex()
                seen[key] = entry
    return seen


def main():
    client, port, user, password, *folders = sys.argv[1:]
    if client == "ftputil":
        seen = with_ftputil(int(port), user, password, folders)
    else:
        seen = asyncio.run(with_aioftp(int(port), user, password, folders))
    print(json.dumps(seen))


if __name__ == "__main__":
    main()
