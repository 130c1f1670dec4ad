"""Prints as JSON what ftputil or aioftp (run with the Python that has them)
makes of a server's folders, names read as Latin-1: for each path its size,
time (seconds, UTC) and, for a file, its bytes as fetched, in hex.

    client_views.py ftputil|aioftp PORT USER PASSWORD FOLDER..."""
import asyncio
import calendar
import json
import sys
import time


def ftputil_view(port, user, password, folders):
    import ftputil
    import ftputil.session
    factory = ftputil.session.session_factory(port=port, encoding="latin-1")
    seen = {}
    with ftputil.FTPHost("127.0.0.1", user, password, session_factory=factory) as host:
        for path in [f.rstrip("/") + "/" + name for f in folders for name in host.listdir(f)]:
            st = host.stat(path)
            seen[path] = [st.st_size, st.st_mtime, None]
            if host.path.isfile(path):
                with host.open(path, "rb") as f:
                    seen[path][2] = f.read().hex()
    return seen


async def aioftp_view(port, user, password, folders):
    import aioftp
    seen = {}
    async with aioftp.Client.context("127.0.0.1", port, user, password, encoding="latin-1") as client:
        for folder in folders:
            for name, info in await client.list(folder):
                path = folder.rstrip("/") + "/" + name.name
                modified = calendar.timegm(time.strptime(info["modify"], "%Y%m%d%H%M%S"))
                seen[path] = [int(info["size"]), modified, None]
                if info["type"] == "file":
                    async with client.download_stream(path) as stream:
                        seen[path][2] = b"".join([block async for block in stream.iter_by_block()]).hex()
    return seen


if __name__ == "__main__":
    client, port, user, password, *folders = sys.argv[1:]
    view = ftputil_view(int(port), user, password, folders) if client == "ftputil" else \
        asyncio.run(aioftp_view(int(port), user, password, folders))
    print(json.dumps(view))
