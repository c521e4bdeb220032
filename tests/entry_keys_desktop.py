#!/usr/bin/env python3
"""Types the common entries into the built program from the grid with xdotool, as a user types
them on a desktop session (real X key events, the window manager's focus and activation), counts
every key press (a chord such as Alt+W is one) and checks what each stored: a whole-shift
trade-out to a partner recorded before, a vacation day, and overtime of 10 hours from 07:00. The
table it prints is the one in the README.

    entry_keys_desktop.py PROGRAM ROTATION_SOURCE

Today is the real date here: the program has no other, so the assignment of each run is chosen
to make today a duty day or a day off. Should the date change while the test runs, it stops with
the skip status 77 rather than guess.
"""

import datetime
import json
import os
import shutil
import subprocess
import sys
import tempfile

from desktop_test import Failure, active_window, exit_with, poll, run, skip
from endtoend_support import entry, fresh_environment, write_settings
import hours_reference as reference

GROUPS = [crew + str(number) for crew in "AB" for number in range(1, 8)]
NEW_ENTRY_TITLE = " \u2013 new entry"


class Scenario:
    def __init__(self, name, on_duty, keys, goal, expected):
        self.name = name
        self.on_duty = on_duty  # today a duty day of the assignment, else a day off (not the RDO)
        self.keys = keys  # xdotool key names, one press each; "Return" opens and closes the form
        self.goal = goal
        self.expected = expected  # what the stored entry of today holds


SCENARIOS = [
    Scenario("whole-shift trade-out to a partner recorded before", True,
             ["Return", "alt+w", "j", "Return", "Return"], 6,
             {"kind": "trade-out", "with": "J. Smith"}),
    Scenario("vacation day", True, ["Return", "l", "Return"], 5,
             {"kind": "leave", "leaveType": "vacation"}),
    Scenario("overtime of 10 hours from 07:00", False,
             ["Return", "alt+h", "1", "0", "alt+s", "7", "Return"], 10,
             {"kind": "overtime", "minutes": 600, "start": "07:00"}),
]


def assignment_for(rdo_table, today, on_duty):
    for group in GROUPS:
        rotation = reference.Rotation(rdo_table, group, datetime.timezone.utc, datetime.time(8))
        if rotation.own_duty(today) == on_duty and not rotation.own_rdo(today):
            return group, rotation
    raise Failure(f"no group is {'on duty' if on_duty else 'off'} on {today}")


def stored_entries(program, folder):
    done = subprocess.run([program, "--export-days", "-"], env=fresh_environment(folder, "UTC"),
                          capture_output=True, text=True, check=True)
    return json.loads(done.stdout)["entries"]


def play(program, rdo_table, scenario, today):
    group, rotation = assignment_for(rdo_table, today, scenario.on_duty)
    folder = tempfile.mkdtemp(prefix="tourwise-keys-")
    try:
        write_settings(folder, RDO=group)
        # The partner of an earlier trade: a duty day in the two weeks before.
        earlier = next(today - datetime.timedelta(days=back) for back in range(1, 15)
                       if rotation.own_duty(today - datetime.timedelta(days=back)))
        document = os.path.join(folder, "earlier.json")
        with open(document, "w", encoding="utf-8") as stream:
            json.dump({"format": "tourwise-days", "version": 1,
                       "entries": [entry(earlier, "trade-out", 720, "J. Smith")]}, stream)
        subprocess.run([program, "--import-days", document], env=fresh_environment(folder, "UTC"),
                       capture_output=True, check=True)
        environment = dict(os.environ, XDG_CONFIG_HOME=os.path.join(folder, "config"),
                           XDG_DATA_HOME=os.path.join(folder, "data"))
        process = subprocess.Popen([program], env=environment)
        try:
            window = active_window("Tourwise")
            for at, key in enumerate(scenario.keys):
                run("xdotool", "key", key)
                # A user waits for the form to come up, and for it to go.
                if key == "Return" and at == 0:
                    poll("the entry form", lambda: run("xdotool", "getactivewindow",
                                                       "getwindowname").strip()
                         .endswith(NEW_ENTRY_TITLE), patience=10)
                elif at == len(scenario.keys) - 1:
                    poll("the grid again", lambda: run("xdotool", "getactivewindow").strip()
                         == window, patience=10)
            made = [stored for stored in stored_entries(program, folder)
                    if stored["date"] == today.isoformat()]
        finally:
            process.terminate()
            process.wait(timeout=10)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    if len(made) != 1:
        raise Failure(f"{scenario.name}: {len(made)} entries stored on {today}: {made}")
    wrong = {key: made[0].get(key) for key, value in scenario.expected.items()
             if made[0].get(key) != value}
    if wrong:
        raise Failure(f"{scenario.name}: stored {made[0]}, expected {scenario.expected}")
    if scenario.name.startswith("whole-shift") and "minutes" in made[0]:
        raise Failure(f"{scenario.name}: stored {made[0]['minutes']} minutes, not the whole shift")
    return group


def shown(key):
    """A key as the README writes it: Enter, Alt+W, j."""
    if key == "Return":
        return "Enter"
    if key.startswith("alt+"):
        return "Alt+" + key[4:].upper()
    return key


def main():
    program, rotation_source = sys.argv[1], sys.argv[2]
    if not shutil.which("xdotool"):
        return skip("xdotool is not installed (scripts/test.sh installs it)")
    rdo_table = reference.read_rdo_table(rotation_source)
    today = datetime.date.today()
    print("| Entry from the grid | Keys | Presses | Goal |")
    print("|---|---|---|---|")
    failed = False
    for scenario in SCENARIOS:
        group = play(program, rdo_table, scenario, today)
        if datetime.date.today() != today:
            return skip("the date changed while the test ran")
        presses = len(scenario.keys)
        keys = ", ".join(shown(key) for key in scenario.keys)
        print(f"| {scenario.name} ({group}) | {keys} | {presses} | \u2264 {scenario.goal} |")
        failed |= presses > scenario.goal
    return 1 if failed else 0


if __name__ == "__main__":
    exit_with(main)
