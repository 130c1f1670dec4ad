"""Waits are bounded and poll; no fixed sleeps but for checks about time itself."""
import time


def wait_for(predicate, timeout=20.0, what="condition"):
    """Polls until predicate() gives a true value, and returns it; bounded."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.02)


def let_time_pass(seconds):
    """Lets time pass, for a check that something does not happen within a while. Everything that can
    be seen to happen is polled for with wait_for instead."""
    time.sleep(seconds)
