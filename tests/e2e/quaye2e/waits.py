"""Waits are bounded and poll; no fixed sleeps."""
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
