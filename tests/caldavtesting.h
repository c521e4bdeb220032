// Waiting for the calendar-server client in tests, and the events of a real calendar.
#pragma once

#include "export/caldavclient.h"
#include "export/davexchange.h"

#include <QEventLoop>
#include <QTimer>
#include <QtTest>

// Runs `call(done)` and waits for `done`; a guard of 120 s against a hang fails the test.
template <typename Result, typename Call> Result waitFor(Call call) {
    Result result{};
    bool arrived = false;
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(120000);
    call([&](const Result& finished) {
        result = finished;
        arrived = true;
        loop.quit();
    });
    if (!arrived)
        loop.exec();
    if (!arrived)
        qWarning("no result within the guard's time");
    return result;
}

inline DavResponse sendAndWait(CalDavClient& client, DavRequest request) {
    return waitFor<DavResponse>([&](auto done) { client.send(std::move(request), done); });
}

// One whole-day event as another calendar program would write it.
inline QByteArray foreignEvent(const QString& uid, const QString& summary) {
    return QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//Program//EN\r\n"
                          "BEGIN:VEVENT\r\nUID:%1\r\nDTSTAMP:20260101T000000Z\r\n"
                          "DTSTART;VALUE=DATE:20260105\r\nDTEND;VALUE=DATE:20260106\r\n"
                          "SUMMARY:%2\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")
        .arg(uid, summary)
        .toUtf8();
}
