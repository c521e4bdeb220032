#!/usr/bin/env python3
"""The built program as a desktop program, driven from outside in a desktop session (X server
and window manager already running, DISPLAY set), each time with fresh settings and data folders:

- Ctrl+Q, typed with xdotool, ends the program, on the Calendar page and over the Hours dialog;
- a change that another process makes to the user's days (the command line's --import-days)
  shows in the window without a click or a key, even when the days file did not exist before.

    desktop_program.py PROGRAM OUTPUT_FOLDER

The window's pictures before and after the change stay in the output folder. Today is the real
date here, as the program has no other; should it change while the test runs, the test stops
with the skip status 77.
"""

import datetime
import os
import shutil
import subprocess
import sys
import tempfile

from desktop_test import Failure, active_window, exit_with, poll, run, skip


def window_picture(window, path):
    """The window's pixels as the X server holds them, kept as a picture at path."""
    run("import", "-window", window, path)
    return subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                          capture_output=True).stdout


class Program:
    """The program in folders of its own; window() waits for it as a user sees it start."""

    def __init__(self, program):
        self.config = tempfile.mkdtemp(prefix="tourwise-desktop-")
        self.data = tempfile.mkdtemp(prefix="tourwise-desktop-data-")
        self.environment = dict(os.environ, XDG_CONFIG_HOME=self.config, XDG_DATA_HOME=self.data)
        self.program = program
        self.process = subprocess.Popen([program], env=self.environment)
        self.window = None

    def wait_for_window(self):
        self.window = active_window("Tourwise")

    def days_file(self):
        return os.path.join(self.data, "Kestrand", "Tourwise", "Tourwise-days.sqlite")

    def quit_by_key(self, what):
        run("xdotool", "key", "ctrl+q")
        poll(f"the program to end at Ctrl+Q {what}", lambda: self.process.poll() is not None,
             patience=10)
        if self.process.returncode != 0:
            raise Failure(f"the program ended with status {self.process.returncode} at Ctrl+Q "
                          f"{what}")

    def end(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)
        shutil.rmtree(self.config, ignore_errors=True)
        shutil.rmtree(self.data, ignore_errors=True)


def note_for(day):
    return ('{"format": "tourwise-days", "version": 2, "assignmentHistory": [], "entries": [\n'
            '{"id": "6f1c2b7e-3d4a-4e5f-8a9b-0c1d2e3f4a5b", "date": "%s", "kind": "note", '
            '"note": "Written by another program", "revision": 1, '
            '"modified": "2026-01-01T00:00:00Z"}\n]}\n' % day.isoformat())


def main():
    program, output = sys.argv[1], sys.argv[2]
    for tool in ("xdotool", "import", "convert"):
        if not shutil.which(tool):
            return skip(f"{tool} is not installed (scripts/test.sh installs it)")
    os.makedirs(output, exist_ok=True)
    today = datetime.date.today()

    # Ctrl+Q on the Calendar page, as it starts.
    started = Program(program)
    try:
        started.wait_for_window()
        started.quit_by_key("on the Calendar page")
    finally:
        started.end()

    # Ctrl+Q over a dialog: the key reaches the program from the dialog's window too.
    started = Program(program)
    try:
        started.wait_for_window()
        run("xdotool", "key", "ctrl+h")
        poll("the Hours dialog to be active",
             lambda: run("xdotool", "getactivewindow", "getwindowname").startswith("Hours"),
             patience=10)
        started.quit_by_key("over the Hours dialog")
    finally:
        started.end()

    # Another program writes the days; the window shows them by itself.
    started = Program(program)
    try:
        started.wait_for_window()
        if os.path.exists(started.days_file()):
            raise Failure("a fresh data folder already holds a days file")
        picture = lambda name: window_picture(started.window, os.path.join(output, name + ".png"))
        # The window as it settles after start-up: two pictures alike, a moment apart.
        pictures = [picture("1-before")]

        def settled():
            pictures.append(picture("1-before"))
            return pictures[-1] == pictures[-2]

        poll("the window to settle", settled)
        days = os.path.join(started.data, "days.json")
        with open(days, "w", encoding="utf-8") as file:
            file.write(note_for(today))
        imported = subprocess.run([program, "--import-days", days], env=started.environment,
                                  capture_output=True, text=True)
        if imported.returncode != 0:
            raise Failure(f"--import-days failed: {imported.stderr.strip()}")
        poll("the window to show the imported note without a click",
             lambda: picture("2-after-import") != pictures[-1], patience=10)
        started.quit_by_key("after the import")
    finally:
        started.end()

    if datetime.date.today() != today:
        return skip("the date changed during the test")
    print("desktop program test passed; pictures in", output)
    return 0


if __name__ == "__main__":
    exit_with(main)
