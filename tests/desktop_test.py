"""What the tests that drive the program from outside, in a desktop session, share: a failure
with a message, polling with a patience that only ends a hang, the program's window as the window
manager shows and activates it, and the exit statuses CTest reads."""

import os
import subprocess
import sys
import time

SKIPPED = 77


class Failure(Exception):
    pass


def run(*arguments):
    return subprocess.run(arguments, check=True, capture_output=True, text=True).stdout


def poll(what, condition, patience=20.0, between=None):
    """Calls condition() until it gives a true value and returns that; between() runs before
    each try (to let events in)."""
    deadline = time.monotonic() + patience
    while True:
        if between:
            between()
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("gave up waiting for " + what)
        time.sleep(0.05)


def search_windows(title):
    """The ids of the visible windows whose title starts with title, none yet as an empty list:
    xdotool ends with status 1 where a window it looks at goes away during the search, as the
    short-lived windows of a starting program do."""
    try:
        return run("xdotool", "search", "--onlyvisible", "--name", "^" + title).split()
    except subprocess.CalledProcessError:
        return []


def active_id():
    """The active window's id, or "" while there is none (xdotool then ends with status 1)."""
    try:
        return run("xdotool", "getactivewindow").strip()
    except subprocess.CalledProcessError:
        return ""


def active_window(title, between=None):
    """The id of the visible window whose title starts with title, once it is active: keys typed
    go to the active window."""
    window = poll("the window", lambda: (search_windows(title) or [None])[0], between=between)
    poll("the window to be active", lambda: active_id() == window, between=between)
    return window


def skip(reason):
    """Skips, unless the caller demands the desktop tests run (scripts/test.sh does)."""
    print("SKIP:", reason)
    return 1 if os.environ.get("TOURWISE_REQUIRE_DESKTOP") else SKIPPED


def exit_with(main):
    try:
        sys.exit(main())
    except Failure as failure:
        print("FAIL:", failure)
        sys.exit(1)
