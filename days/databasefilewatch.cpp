#include "days/databasefilewatch.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

namespace {

// Long enough to take the writes of one commit together, short enough to be seen at once.
constexpr int SettleMs = 150;
// A folder or file may appear between looking and watching; a few more looks settle that.
constexpr int ArmingRounds = 4;

} // namespace

DatabaseFileWatch::DatabaseFileWatch(const QString& path, QObject* parent)
    : QObject(parent), m_path(QFileInfo(path).absoluteFilePath()) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMs);
    connect(&m_settle, &QTimer::timeout, this, &DatabaseFileWatch::touched);
}

void DatabaseFileWatch::setWatching(bool on) {
    if (on == isWatching())
        return;
    if (!on) {
        m_settle.stop();
        delete m_watcher;
        m_watcher = nullptr;
        return;
    }
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &DatabaseFileWatch::noteEvent);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &DatabaseFileWatch::noteEvent);
    rearm();
    m_settle.start();
}

bool DatabaseFileWatch::isWatching() const {
    return m_watcher != nullptr;
}

QStringList DatabaseFileWatch::watchedPaths() const {
    return m_watcher ? m_watcher->directories() + m_watcher->files() : QStringList();
}

QStringList DatabaseFileWatch::wantedPaths() const {
    // A watch needs something that exists: until the file's folder is made, the nearest folder
    // above it that does, whose change says that the next one down appeared.
    const QString folder = QFileInfo(m_path).absolutePath();
    QString existing = folder;
    while (!QFileInfo(existing).isDir()) {
        const QString above = QFileInfo(existing).absolutePath();
        if (above == existing)
            return {};
        existing = above;
    }
    if (existing != folder)
        return {existing};
    // The folder tells when the file or its log is made, removed or replaced (SQLite removes the
    // log when the last connection closes and makes a new one with the next); the file and the
    // log tell each write to them, which the folder does not.
    QStringList wanted{folder};
    for (const QString& file : {m_path, m_path + QStringLiteral("-wal")})
        if (QFileInfo(file).isFile())
            wanted << file;
    return wanted;
}

void DatabaseFileWatch::rearm() {
    // The folder before what is in it: whatever appears after its watch began is reported.
    for (int round = 0; round < ArmingRounds; ++round) {
        const QStringList wanted = wantedPaths();
        const QStringList current = watchedPaths();
        QStringList stale;
        for (const QString& path : current)
            if (!wanted.contains(path))
                stale << path;
        QStringList missing;
        for (const QString& path : wanted)
            if (!current.contains(path))
                missing << path;
        if (stale.isEmpty() && missing.isEmpty())
            return;
        if (!stale.isEmpty())
            m_watcher->removePaths(stale);
        if (!missing.isEmpty())
            m_watcher->addPaths(missing);
    }
}

void DatabaseFileWatch::noteEvent() {
    rearm();
    // Not restarted by the next event: a writer that never pauses is still reported.
    if (!m_settle.isActive())
        m_settle.start();
}
