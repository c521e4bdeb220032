// The user's days as the saved settings and the days file have them: what every command of the
// command line reads and changes.
#pragma once

#include "days/entrystore.h"
#include "days/schedule.h"
#include "settings/settingsfile.h"

class UserDays {
public:
    // `dataBase` empty: the desktop's data folder.
    explicit UserDays(const StoredSettings& settings, const QString& dataBase = {});

    EntryStore& store() { return m_store; }
    Schedule& schedule() { return m_schedule; }
    // Why the days file cannot be used, in one sentence; empty when it can.
    QString problem() const { return m_store.problem(); }

private:
    EntryStore m_store;
    Schedule m_schedule;
};
