#!/usr/bin/env python3
"""Drives the built program as a user would, from outside, on a desktop session (X server and
window manager already running, DISPLAY set): a fresh settings folder, the Right arrow typed with
xdotool, a click on the Settings tab and on Save, a click on the About tab. What the program shows
is read back from screenshots, which stay in the output folder for a person to look at.

    smoke_desktop.py PROGRAM OUTPUT_FOLDER

Today is the real date here: the program has no other. Should the date change while the test
runs, it stops with the skip status 77 rather than guess.
"""

import datetime
import os
import shutil
import subprocess
import sys
import tempfile

from desktop_test import Failure, active_window, exit_with, poll, run, skip

# The window's structure, in client pixels: tab headers share the top row; the Settings page's
# title bar below them holds Save at its right end.
TAB_HEADER_HEIGHT = 49
TAB_COUNT = 4
SETTINGS_TITLE_BAR_HEIGHT = 48
SAVE_RIGHT_MARGIN = 4
SAVE_WIDTH = 89

# The selected cell is the only large block of a saturated colour: a run of this many pixels of
# one colour along a row is never part of a glyph.
FILL_RUN = 24
# A cell is far larger than this, the underline of a link far smaller.
FILL_AREA = 1000
# The pictures of the window icon, as the desktop reads them from the window.
WINDOW_ICON_SIZES = [(32, 32), (64, 64), (256, 256)]
# Crew A and crew B in the default colours.
CREW_COLOURS = ((255, 0, 0), (0, 0, 255))


class Shot:
    """A screenshot of the whole screen, as RGB rows."""

    def __init__(self, path):
        self.path = path
        run("import", "-window", "root", path)
        data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                              capture_output=True).stdout
        fields = data.split(maxsplit=4)
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise Failure("unexpected screenshot format from " + path)
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = fields[4]

    def pixel(self, x, y):
        at = 3 * (y * self.width + x)
        return tuple(self.pixels[at:at + 3])

    def filled_block(self, box):
        """The bounding box (left, top, right, bottom) and the colour of the largest block of
        one saturated colour inside box, None when there is none. Only long runs along a row
        count, so glyphs drawn in such a colour are no block; the border, a darker shade, is
        left out by taking the colour that covers most."""
        left, top, right, bottom = box
        blocks = {}
        for y in range(top, bottom):
            run_start, run_colour = left, None
            for x in range(left, right + 1):
                here = self.pixel(x, y) if x < right else None
                if here == run_colour:
                    continue
                if run_colour is not None and saturated(run_colour) and x - run_start >= FILL_RUN:
                    area, (l, t, r, b) = blocks.get(run_colour, (0, (run_start, y, x, y + 1)))
                    blocks[run_colour] = (area + x - run_start,
                                          (min(l, run_start), min(t, y), max(r, x), max(b, y + 1)))
                run_start, run_colour = x, here
        if not blocks:
            return None
        colour = max(blocks, key=lambda c: blocks[c][0])
        area, bounds = blocks[colour]
        return (bounds, colour) if area >= FILL_AREA else None

    def dark_pixels(self, box):
        left, top, right, bottom = box
        return sum(1 for y in range(top, bottom) for x in range(left, right)
                   if max(self.pixel(x, y)) < 80)

    def differences(self, other, box):
        left, top, right, bottom = box
        return sum(1 for y in range(top, bottom) for x in range(left, right)
                   if self.pixel(x, y) != other.pixel(x, y))


def saturated(colour):
    return max(colour) - min(colour) > 120


def client_box(window):
    geometry = dict(line.split("=") for line in run("xdotool", "getwindowgeometry", "--shell",
                                                    window).split())
    x, y = int(geometry["X"]), int(geometry["Y"])
    return x, y, x + int(geometry["WIDTH"]), y + int(geometry["HEIGHT"])


def icon_sizes(window):
    """The sizes of the pictures in the window's icon property, None while it has none."""
    listing = subprocess.run(["xprop", "-id", window, "-f", "_NET_WM_ICON", "32c", " = $0+\n",
                              "_NET_WM_ICON"], capture_output=True, text=True).stdout
    if "=" not in listing:
        return None
    values = [int(value) for value in listing.split("=", 1)[1].replace(",", " ").split()]
    sizes, at = [], 0
    while at + 1 < len(values):
        width, height = values[at], values[at + 1]
        sizes.append((width, height))
        at += 2 + width * height
    return sorted(sizes)


def click(window, x, y):
    run("xdotool", "mousemove", "--window", window, str(x), str(y), "click", "1")


def sunday_based_weekday(day):
    return (day.weekday() + 1) % 7


def grid_position(day):
    """Row and column of a day in its month's grid, which starts on the Sunday on or before the
    first."""
    offset = sunday_based_weekday(day.replace(day=1)) + day.day - 1
    return offset // 7, offset % 7


def main():
    program, output = sys.argv[1], sys.argv[2]
    for tool in ("xdotool", "import", "convert"):
        if not shutil.which(tool):
            return skip(f"{tool} is not installed (scripts/test.sh installs it)")
    os.makedirs(output, exist_ok=True)
    for old in os.listdir(output):
        if old.endswith(".png"):
            os.remove(os.path.join(output, old))
    shot_path = lambda name: os.path.join(output, name + ".png")
    today = datetime.date.today()
    config = tempfile.mkdtemp(prefix="tourwise-smoke-")
    data = tempfile.mkdtemp(prefix="tourwise-smoke-data-")
    environment = dict(os.environ, XDG_CONFIG_HOME=config, XDG_DATA_HOME=data)
    process = subprocess.Popen([program], env=environment)
    try:
        window = active_window("Tourwise")
        box = client_box(window)
        grid_area = (box[0], box[1] + TAB_HEADER_HEIGHT, box[2], box[3])

        # Start-up: today's cell is filled.
        before = poll("the selected day",
                          lambda: Shot(shot_path("1-start")).filled_block(grid_area))
        (left, top, right, bottom), _ = before
        # The grid spans the client width in seven columns; the fill stops short of a cell's
        # border, by as much across as down.
        column_pitch = (box[2] - box[0]) / 7
        row_pitch = (bottom - top) + (column_pitch - (right - left))
        row, column = grid_position(today)
        if abs(left - (box[0] + column * column_pitch)) > 3:
            raise Failure(f"today's cell starts at x {left}, not in column {column} of a grid "
                          f"starting at the window's left edge {box[0]}")
        grid_top = top - row * row_pitch

        # The icon's large pictures follow once the window is shown: they must still arrive.
        seen = []

        def whole_icon():
            seen.append(icon_sizes(window))
            return seen[-1] == WINDOW_ICON_SIZES

        try:
            poll("the whole window icon", whole_icon, patience=10)
        except Failure:
            raise Failure(f"the window icon holds pictures of {seen[-1]}, not "
                          f"{WINDOW_ICON_SIZES}") from None

        # One Right arrow, typed to whatever has the focus.
        run("xdotool", "key", "Right")
        tomorrow = today + datetime.timedelta(days=1)

        def moved_selection():
            shot = Shot(shot_path("2-after-right"))
            block = shot.filled_block(grid_area)
            return block and block[0] != before[0] and (shot, block)

        shot, ((new_left, new_top, _, _), colour) = poll("the selection to move",
                                                             moved_selection, patience=10)
        new_row, new_column = grid_position(tomorrow)
        expected = (box[0] + new_column * column_pitch, grid_top + new_row * row_pitch)
        if abs(new_left - expected[0]) > 3 or abs(new_top - expected[1]) > 3:
            raise Failure(f"the selection moved to ({new_left}, {new_top}); tomorrow's cell is at "
                          f"{expected}")
        if colour not in CREW_COLOURS:
            raise Failure(f"the new cell is filled with {colour}, not a crew colour")
        corner = (new_left + 3, new_top + 3)
        if shot.pixel(*corner) != colour:
            raise Failure(f"pixel {corner} of the new cell is {shot.pixel(*corner)}")

        # Enter opens the day in a window of its own, titled with the day (on a day without
        # entries, the entry form at once); Escape closes it, and the next arrow keys move the day
        # again.
        run("xdotool", "key", "Return")
        day_title = f"{tomorrow:%A}"
        poll("the day editor to be active",
             lambda: run("xdotool", "getactivewindow", "getwindowname").startswith(day_title),
             patience=10)
        Shot(shot_path("2b-day-editor"))
        run("xdotool", "key", "Escape")
        poll("the main window to be active again",
             lambda: run("xdotool", "getactivewindow").strip() == window, patience=10)
        def selection_left():
            block = Shot(shot_path("2c-after-editor")).filled_block(grid_area)
            return block[0][0] if block else None

        run("xdotool", "key", "Right")
        poll("Right after the day editor", lambda: selection_left() not in (None, new_left),
             patience=10)
        run("xdotool", "key", "Left")
        poll("Left after the day editor", lambda: selection_left() == new_left, patience=10)
        if os.listdir(data):
            raise Failure(f"looking at a day wrote to the data folder: {os.listdir(data)}")

        # Settings, then Save: the settings file appears.
        tab_width = (box[2] - box[0]) / TAB_COUNT
        click(window, int(1.5 * tab_width), TAB_HEADER_HEIGHT // 2)

        def settings_page():
            shot = Shot(shot_path("3-settings"))
            return shot.filled_block(grid_area) is None and shot

        settings = poll("the Settings page", settings_page)
        ini = os.path.join(config, "Kestrand", "Tourwise", "Tourwise.ini")
        if os.path.exists(ini):
            raise Failure("the settings file exists before Save")
        click(window, box[2] - box[0] - SAVE_RIGHT_MARGIN - SAVE_WIDTH // 2,
              TAB_HEADER_HEIGHT + SETTINGS_TITLE_BAR_HEIGHT // 2)
        poll("Tourwise.ini after Save", lambda: os.path.isfile(ini), patience=10)
        with open(ini, encoding="utf-8") as saved:
            if "[Config]" not in saved.read():
                raise Failure("Tourwise.ini holds no [Config] section")

        def calendar_on_tomorrow():
            block = Shot(shot_path("4-after-save")).filled_block(grid_area)
            return block and block[0][:2] == (new_left, new_top)

        poll("the Calendar page, still on tomorrow, after Save", calendar_on_tomorrow)

        # About shows its text: a page of its own, neither the calendar nor the settings, with
        # lines of dark text below its title bar.
        click(window, int(3.5 * tab_width), TAB_HEADER_HEIGHT // 2)
        page = (box[0] + 1, box[1] + TAB_HEADER_HEIGHT + SETTINGS_TITLE_BAR_HEIGHT + 2,
                box[2] - 1, box[3] - 1)
        page_area = (page[2] - page[0]) * (page[3] - page[1])

        def about_page():
            shot = Shot(shot_path("5-about"))
            return (shot.filled_block(grid_area) is None and
                    shot.differences(settings, page) > page_area // 10 and
                    shot.dark_pixels(page) > page_area // 200)

        poll("the About page's text", about_page)

    finally:
        process.terminate()
        process.wait(timeout=10)
    if datetime.date.today() != today:
        return skip("the date changed during the test")
    print("smoke test passed; screenshots in", output)
    return 0


if __name__ == "__main__":
    exit_with(main)
