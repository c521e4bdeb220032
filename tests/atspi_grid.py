#!/usr/bin/python3
"""Reads the day grid as a screen reader does, over the real AT-SPI accessibility bus: starts the
program in a desktop session with the bus running (scripts/desktop-session.sh --accessibility),
finds it among the bus's applications, finds the day table, and reads which cell is selected,
its name, row and column. Then types the Right arrow and clicks a day, as a user does, and checks
each time that the bus announced the newly selected cell and that the tree now reads the day
that was moved to, selected and focused.

    atspi_grid.py PROGRAM
"""

import datetime
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


def main():
    program = sys.argv[1]
    environment = dict(os.environ, XDG_CONFIG_HOME=tempfile.mkdtemp(prefix="tourwise-atspi-"),
                       LC_ALL="en_US.UTF-8", LANG="en_US.UTF-8")
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
