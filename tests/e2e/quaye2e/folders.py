"""What a folder holds, for checks that a client changed nothing in it."""
import os


def below(folder, describe):
    """Every name below folder, as a path relative to it, with describe(its path)."""
    out = {}
    for base, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(base, name)
            out[os.path.relpath(path, folder)] = describe(path)
    return out
