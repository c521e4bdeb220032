"""What the end-to-end harnesses of the hours and of the banks share: a fresh settings and data
folder for each scenario, the settings file's keys, the program run as a child, the days of a
rotation to put entries on, and the first differing line of two lists."""
import datetime
import json
import os
import re
import subprocess
import sys
import uuid
from decimal import Decimal
from zoneinfo import ZoneInfo

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import hours_reference as reference  # noqa: E402

ONE_DAY = datetime.timedelta(days=1)
STORED_SHIFT_START = datetime.time(8)   # a fresh data folder's; what an import is checked with


def date(text):
    return datetime.date.fromisoformat(text)


def days(first, last):
    day = first
    while day <= last:
        yield day
        day += ONE_DAY


class Days:
    """Which days of a range are duty days, RDOs and days off, under an assignment or a
    history (the zone does not change which days they are)."""

    def __init__(self, rdo_table, assignment, first, last):
        rotation = reference.Rotation(rdo_table, assignment, datetime.timezone.utc,
                                      datetime.time(8))
        self.duty, self.rdo, self.off = [], [], []
        for day in days(first, last):
            if rotation.own_duty(day):
                self.duty.append(day)
            elif rotation.own_rdo(day):
                self.rdo.append(day)
            else:
                self.off.append(day)


def entry(day, kind, minutes=None, with_=None, **extra):
    made = {"id": str(uuid.uuid4()), "date": day.isoformat(), "kind": kind, "revision": 1,
            "modified": "2026-01-01T00:00:00Z"}
    if minutes is not None:
        made["minutes"] = minutes
    if with_ is not None:
        made["with"] = with_
    made.update(extra)
    return made


class State:
    """What the program should hold after a scenario's steps so far: the history (with the
    settings file's group as its current assignment) and the entries."""

    def __init__(self, rdo_table, zone):
        self.rdo_table = rdo_table
        self.zone = ZoneInfo(zone)
        self.history = reference.History((), "RDO")
        self.entries = {}

    def rotation(self, shift_start=STORED_SHIFT_START, what_if=None, history=None):
        return reference.Rotation(self.rdo_table, what_if or history or self.history, self.zone,
                                  shift_start)

    def by_day(self):
        return reference.entries_by_day(self.entries.values())

    def merge(self, entries):
        """As --import-days merges: new ids are added, a higher revision replaces."""
        for new in entries:
            old = self.entries.get(new["id"])
            if old is None or new.get("revision", 1) > old.get("revision", 1):
                self.entries[new["id"]] = new

    def unfit_on_import(self, entries, history):
        """The program refuses a file with an entry that does not fit its day (with what is
        stored on that day, under the history the import leaves): a scenario must not hold
        one, or it would test the refusal instead of the lists. None, or what is wrong."""
        probe = State(self.rdo_table, self.zone.key)
        probe.entries = dict(self.entries)
        probe.merge(entries)
        unfit = reference.left_out(probe.rotation(history=history), probe.by_day(),
                                   {date(e["date"][:10]) for e in entries})
        if not unfit:
            return None
        day, bad = unfit[0]
        return f"BAD SCENARIO: {len(unfit)} entries do not fit, e.g. {bad['kind']} on {day}"


def json_text(document):
    """The document as JSON, with Decimal amounts written as the numbers they are (4.62, not
    a binary fraction near it)."""
    marks = {}

    def marked(value):
        if isinstance(value, Decimal):
            mark = f"@decimal{len(marks)}@"
            marks[mark] = str(value)
            return mark
        if isinstance(value, dict):
            return {key: marked(item) for key, item in value.items()}
        if isinstance(value, list):
            return [marked(item) for item in value]
        return value

    text = json.dumps(marked(document), ensure_ascii=False)
    return re.sub(r'"(@decimal[0-9]+@)"', lambda match: marks[match.group(1)], text)


def fresh_environment(folder, zone):
    environment = {key: value for key, value in os.environ.items()
                   if key not in ("DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR")}
    environment.update(XDG_CONFIG_HOME=os.path.join(folder, "config"),
                       XDG_DATA_HOME=os.path.join(folder, "data"), TZ=zone, LC_ALL="C.UTF-8")
    return environment


def run(arguments, environment):
    try:
        done = subprocess.run(arguments, env=environment, capture_output=True, text=True,
                              check=False)
    except OSError as error:
        return 127, "", str(error)
    return done.returncode, done.stdout, done.stderr


def settings_file(folder):
    return os.path.join(folder, "config", "Kestrand", "Tourwise", "Tourwise.ini")


def write_settings(folder, **keys):
    """Sets keys of the [Config] section (RDO, PPStart), keeping the others."""
    path = settings_file(folder)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    lines = []
    if os.path.exists(path):
        with open(path, encoding="utf-8") as stream:
            lines = stream.read().splitlines()
    stripped = [line.strip() for line in lines]
    if "[Config]" not in stripped:
        lines.insert(0, "[Config]")
        stripped.insert(0, "[Config]")
    section = stripped.index("[Config]")
    end = next((at for at in range(section + 1, len(lines)) if stripped[at].startswith("[")),
               len(lines))
    body = [line for line in lines[section + 1:end]
            if line.split("=", 1)[0].strip().lower() not in {key.lower() for key in keys}]
    body = [f"{key}={value}" for key, value in keys.items()] + body
    lines[section + 1:end] = body
    with open(path, "w", encoding="utf-8") as stream:
        stream.write("\n".join(lines) + "\n")


def stored_setting(folder, key):
    section = None
    with open(settings_file(folder), encoding="utf-8") as stream:
        for line in stream.read().splitlines():
            line = line.strip()
            if line.startswith("["):
                section = line
            elif section == "[Config]" and line.split("=", 1)[0].strip().lower() == key.lower():
                return line.split("=", 1)[1]
    return None


def write_document(folder, document):
    path = os.path.join(folder, f"import-{uuid.uuid4()}.json")
    with open(path, "w", encoding="utf-8") as stream:
        stream.write(json_text(document))
    return path


def compare(name, got, expected):
    """Nothing when the lists agree; otherwise the FAIL line and the first line that differs."""
    if got == expected:
        return []
    report = [f"FAIL {name}"]
    for want, have in zip(expected.splitlines(), got.splitlines()):
        if want != have:
            report.append(f"  reference: {want}\n  program:   {have}")
            break
    else:
        report.append(f"  {len(expected.splitlines())} lines expected, "
                      f"{len(got.splitlines())} printed")
    return report
