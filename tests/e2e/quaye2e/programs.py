"""The programs under test, named in the environment as ctest names them."""
import os

# The version the programs write into their files and greetings.
VERSION = os.environ.get("QUAYPORT_VERSION")


def program(variable):
    """The path of the program the environment variable names."""
    path = os.environ.get(variable)
    if not path:
        raise RuntimeError("%s names no program: run the suites through ctest" % variable)
    return path
