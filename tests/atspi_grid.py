#!/usr/bin/python3
"""Reads the day grid as a screen reader does, over the real AT-SPI accessibility bus: starts the
program in a desktop session with the bus running (scripts/desktop-session.sh --accessibility),
finds it among the bus's applications, finds the day table, and reads which cell is selected,
its name, row and column. Then types the Right arrow and clicks a day, as a user does, and checks
each time that the bus announced the newly selected cell and that the tree now reads the day
that was moved to, selected and focused. The day after today holds an entry of the user's own
(recorded beforehand with --import-days): its cell's name says it.

    atspi_grid.py PROGRAM
"""

import datetime
import json
import os
import subprocess
import sys
import tempfile

from desktop_test import Failure, active_window, exit_with, poll, skip

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, GLib
    import pyatspi
except (ImportError, ValueError) as missing:
    sys.exit(skip(f"no AT-SPI client for python3 (python3-pyatspi): {missing}"))

APPLICATION = "Tourwise"
ROWS, COLUMNS = 6, 7


def pump_events():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def pump_until(what, condition, patience=20.0):
    """Polls condition() while the bus's events come in."""
    return poll(what, condition, patience, between=pump_events)


def find_application():
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is not None and application.name == APPLICATION:
            return application
    return None


def find_table(root):
    pending = [root]
    while pending:
        node = pending.pop(0)
        if node is None:
            continue
        if node.getRole() == pyatspi.ROLE_TABLE:
            return node
        pending.extend(node.getChildAtIndex(i) for i in range(node.childCount))
    return None


def day_of(name):
    """The date a cell's name starts with: "Thursday, December 10, 2026, crew B on duty"."""
    return datetime.datetime.strptime(", ".join(name.split(", ")[:3]), "%A, %B %d, %Y").date()


def spoken(day):
    return f"{day:%A}, {day:%B} {day.day}, {day.year}"


def selected_cells(table):
    cells = [table.getChildAtIndex(i) for i in range(table.childCount)]
    return [(i, cell) for i, cell in enumerate(cells)
            if cell.getState().contains(pyatspi.STATE_SELECTED)]


def read_selection(table):
    """The one selected cell as (index, name, state); fails on none or several."""
    selected = selected_cells(table)
    if len(selected) != 1:
        raise Failure(f"{len(selected)} cells are in the selected state, not one")
    index, cell = selected[0]
    if cell.getRole() != pyatspi.ROLE_TABLE_CELL:
        raise Failure(f"the selected cell has the role {cell.getRoleName()}")
    grid = table.queryTable()
    position = (grid.getRowAtIndex(index), grid.getColumnAtIndex(index))
    if position != divmod(index, COLUMNS):
        raise Failure(f"cell {index} reads as row, column {position}")
    return index, cell.name, cell.getState()


class Announcements:
    """What the program announced over the bus: (event type, source name, detail)."""

    def __init__(self):
        self.heard = []
        self.listener = Atspi.EventListener.new(self.hear)
        for event in ("object:state-changed:selected", "object:state-changed:focused", "focus:"):
            self.listener.register(event)

    def hear(self, event):
        try:
            self.heard.append((event.type, event.source.get_name(), event.detail1))
        except GLib.Error:
            pass  # a source gone meanwhile

    def of(self, name_start):
        return [(kind, detail) for kind, name, detail in self.heard
                if name and name.startswith(name_start)]


def expect_move(what, table, announcements, day, act):
    """Does act(), then checks the bus announced day as selected and focused, and the tree
    reads it so."""
    announcements.heard.clear()
    act()
    name_start = spoken(day)
    pump_until(f"the selection of {name_start} to be announced ({what})",
               lambda: ("object:state-changed:selected", 1) in announcements.of(name_start),
               patience=10)
    index, name, state = read_selection(table)
    if not name.startswith(name_start):
        raise Failure(f"after {what} the selected cell reads {name!r}, expected {name_start}")
    if not state.contains(pyatspi.STATE_FOCUSED):
        raise Failure(f"after {what} the selected cell {name!r} is not focused")
    focus_heard = [kind for kind, detail in announcements.of(name_start)
                   if kind.startswith("focus") or (kind.endswith("focused") and detail == 1)]
    if not focus_heard:
        raise Failure(f"after {what} the focus on {name_start} was not announced")
    print(f"after {what}: cell {index} ({divmod(index, COLUMNS)}) selected and focused: {name}")
    return index, name


def record_overtime(program, environment, day):
    """Four hours of overtime on `day`, recorded as a user's exported days are taken back in."""
    entries = {"format": "tourwise-days", "version": 1, "entries": [{
        "id": "6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b", "date": day.isoformat(),
        "kind": "overtime", "minutes": 240, "revision": 1, "modified": "2026-12-01T08:00:00Z"}]}
    path = os.path.join(environment["XDG_CONFIG_HOME"], "days.json")
    with open(path, "w", encoding="utf-8") as file:
        json.dump(entries, file)
    subprocess.run([program, "--import-days", path], env=environment, check=True,
                   stdout=subprocess.DEVNULL)


def main():
    program = sys.argv[1]
    folder = tempfile.mkdtemp(prefix="tourwise-atspi-")
    environment = dict(os.environ, XDG_CONFIG_HOME=os.path.join(folder, "config"),
                       XDG_DATA_HOME=os.path.join(folder, "data"),
                       LC_ALL="en_US.UTF-8", LANG="en_US.UTF-8")
    os.makedirs(environment["XDG_CONFIG_HOME"])
    # Today as the program will see it; a run across midnight is not worth guarding against.
    record_overtime(program, environment, datetime.date.today() + datetime.timedelta(days=1))
    process = subprocess.Popen([program], env=environment)
    try:
        application = pump_until("the program on the accessibility bus", find_application)
        table = pump_until("the day table", lambda: find_table(application))
        grid = table.queryTable()
        if (grid.nRows, grid.nColumns, table.childCount) != (ROWS, COLUMNS, ROWS * COLUMNS):
            raise Failure(f"the table has {grid.nRows} rows, {grid.nColumns} columns and "
                          f"{table.childCount} cells")
        # The window must be active before a key typed reaches it.
        active_window(APPLICATION, between=pump_events)
        index, name, state = pump_until("a selected cell", lambda: read_selection(table))
        print(f"at start-up: cell {index} ({divmod(index, COLUMNS)}) selected: {name}")
        announcements = Announcements()

        day = day_of(name) + datetime.timedelta(days=1)
        index, name = expect_move("Right", table, announcements, day,
                                  lambda: subprocess.run(["xdotool", "key", "Right"], check=True))
        if "overtime, 4 hours" not in name or "you work" not in name:
            raise Failure(f"the day with the user's overtime reads {name!r}")

        # A click on another day of the same month: a week back or a week ahead.
        week = datetime.timedelta(days=7)
        step = -7 if (day_of(name) - week).month == day.month else 7
        target = table.getChildAtIndex(index + step)
        extents = target.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        centre = (extents.x + extents.width // 2, extents.y + extents.height // 2)
        expect_move("a click on a cell", table, announcements,
                    day_of(name) + datetime.timedelta(days=step),
                    lambda: subprocess.run(["xdotool", "mousemove", str(centre[0]),
                                            str(centre[1]), "click", "1"], check=True))
    finally:
        process.terminate()
        process.wait(timeout=10)
    print("the day table reads right over the accessibility bus")
    return 0


if __name__ == "__main__":
    exit_with(main)
