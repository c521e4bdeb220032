#!/usr/bin/env python3
"""Reads a calendar file with vobject (Debian: python3-vobject), a parser of its own apart from
the icalendar package, and prints the same JSON as ics_readback.py."""
import datetime
import json
import sys

import vobject


def moment(value):
    if type(value) is datetime.date:
        return {"date": value.isoformat(), "whole_day": True, "floating": True}
    return {"date": value.date().isoformat(), "time": value.strftime("%H:%M:%S"),
            "whole_day": False, "floating": value.tzinfo is None}


def text(component, name, default=""):
    child = getattr(component, name, None)
    return default if child is None else child.value


with open(sys.argv[1], encoding="utf-8", newline="") as stream:
    calendar = vobject.readOne(stream.read())

events = []
for event in getattr(calendar, "vevent_list", []):
    events.append({
        "uid": text(event, "uid"),
        "summary": text(event, "summary"),
        "description": text(event, "description"),
        "sequence": int(text(event, "sequence", "0")),
        "transp": text(event, "transp", "OPAQUE"),
        "start": moment(event.dtstart.value),
        "end": moment(event.dtend.value),
        "stamp": event.dtstamp.value.isoformat(),
    })
print(json.dumps({
    "version": text(calendar, "version"),
    "prodid": text(calendar, "prodid"),
    "name": text(calendar, "x_wr_calname"),
    "method": text(calendar, "method"),
    "events": events,
}))
