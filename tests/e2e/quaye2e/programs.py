"""The programs under test, named in the environment as ctest names them, and
the environment they run in."""
import os

# The version the programs write into their files and greetings.
VERSION = os.environ.get("QUAYPORT_VERSION")


def program(variable):
    """The path of the program the environment variable names."""
    path = os.environ.get(variable)
    if not path:
        raise RuntimeError("%s names no program: run the suites through ctest" % variable)
    return path


def environment(**variables):
    """The environment of a program under test: this process's, with VARIABLES, and its servers on
    the loopback address only (QUAYPORT_TEST_LOOPBACK), out of the network's reach."""
    return dict(os.environ, QUAYPORT_TEST_LOOPBACK="1", **variables)
