#!/usr/bin/env python3
"""Reads a calendar file with the icalendar package (Debian: python3-icalendar) and prints what a
calendar application would take from it, as JSON: the calendar's name and method and, per event,
its UID, summary, description, sequence, transparency and the start and end with their value
types (a whole day, or a time with or without a zone)."""
import datetime
import json
import sys

import icalendar


def moment(prop):
    value = prop.dt
    if type(value) is datetime.date:
        return {"date": value.isoformat(), "whole_day": True, "floating": True}
    return {"date": value.date().isoformat(), "time": value.strftime("%H:%M:%S"),
            "whole_day": False, "floating": value.tzinfo is None}


with open(sys.argv[1], "rb") as stream:
    calendar = icalendar.Calendar.from_ical(stream.read())

events = []
for event in calendar.walk("VEVENT"):
    events.append({
        "uid": str(event["UID"]),
        "summary": str(event["SUMMARY"]),
        "description": str(event.get("DESCRIPTION", "")),
        "sequence": int(event.get("SEQUENCE", 0)),
        "transp": str(event.get("TRANSP", "OPAQUE")),
        "start": moment(event["DTSTART"]),
        "end": moment(event["DTEND"]),
        "stamp": event["DTSTAMP"].dt.isoformat(),
    })
print(json.dumps({
    "version": str(calendar["VERSION"]),
    "prodid": str(calendar["PRODID"]),
    "name": str(calendar["X-WR-CALNAME"]),
    "method": str(calendar.get("METHOD", "")),
    "events": events,
}))
