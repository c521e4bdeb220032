// Another Tourwise window, as far as the days file can tell: a process of its own (the writer
// of tests/days_writer_child.cpp) that keeps the file open between its writes. SQLite then
// writes a change to the file's log only, and the file itself stays as it was.
#pragma once

#include <QProcess>
#include <QString>

class OtherWindow {
public:
    explicit OtherWindow(const QString& path) {
        m_process.start(QStringLiteral(DAYS_WRITER_CHILD), {QStringLiteral("serve"), path});
    }
    ~OtherWindow() {
        m_process.closeWriteChannel();
        m_process.waitForFinished(60000);
    }
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;

    // Adds a note of this text on 2026-03-01; true once it is committed.
    bool add(const QString& note) {
        m_process.write(note.toUtf8() + '\n');
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(60000)) // a guard against a hang only
                return false;
        return m_process.readLine().trimmed() == "added";
    }

private:
    QProcess m_process;
};
