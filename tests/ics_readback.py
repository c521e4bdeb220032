#!/usr/bin/env python3
"""Reads a calendar file with the icalendar package (Debian: python3-icalendar) and prints what a
calendar application would take from it, as JSON: the calendar's name and, per event, its UID,
summary, transparency and the start and end dates with their value types."""
import datetime
import json
import sys

import icalendar


def day(prop):
    value = prop.dt
    return {"date": value.isoformat(), "whole_day": type(value) is datetime.date}


with open(sys.argv[1], "rb") as stream:
    calendar = icalendar.Calendar.from_ical(stream.read())

events = []
for event in calendar.walk("VEVENT"):
    events.append({
        "uid": str(event["UID"]),
        "summary": str(event["SUMMARY"]),
        "transp": str(event.get("TRANSP", "OPAQUE")),
        "start": day(event["DTSTART"]),
        "end": day(event["DTEND"]),
        "stamp": event["DTSTAMP"].dt.isoformat(),
    })
print(json.dumps({
    "version": str(calendar["VERSION"]),
    "prodid": str(calendar["PRODID"]),
    "name": str(calendar["X-WR-CALNAME"]),
    "events": events,
}))
