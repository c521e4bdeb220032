#!/usr/bin/env python3
"""Reads what a calendar server returns for a GET of a whole calendar (one VCALENDAR holding all
its events) with the icalendar package (Debian: python3-icalendar) and prints, as JSON, one
object per event: its UID, summary and sequence, in the order of the file."""
import json
import sys

import icalendar

with open(sys.argv[1], "rb") as stream:
    calendar = icalendar.Calendar.from_ical(stream.read())
print(json.dumps([{"uid": str(event["UID"]), "summary": str(event.get("SUMMARY", "")),
                   "sequence": int(event.get("SEQUENCE", 0))}
                  for event in calendar.walk("VEVENT")]))
