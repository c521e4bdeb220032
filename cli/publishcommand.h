// --publish URL: the calendar file's events sent to a calendar server, waiting for the result
// as a command may. The password comes from --password-file or the desktop's keyring.
#pragma once

#include "export/calendarfile.h"

#include <QString>

class EntryStore;

struct PublishRequest {
    QString address; // a server's, where the calendar "Tourwise duty" is found or made, or a
                     // calendar's own
    QString user;
    QString passwordFile; // empty: ask the keyring
    QString caFile;
    CalendarExport calendar;
};

struct PublishOutcome {
    bool ok = false;
    bool wrongUse = false; // the arguments, not the server, are at fault
    QString line;          // "Published N events to URL (…)", or the one sentence of failure
};

// What was published is remembered in the days file of `store`.
PublishOutcome PublishFromCommandLine(const PublishRequest& request, EntryStore& store);
