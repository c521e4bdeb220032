// Tells when another program may have written an SQLite file, so that a window can look again
// without being clicked. It watches the file, its write-ahead log and its folder, or the
// nearest folder that exists while the file's folder does not yet. Off, it watches nothing.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class QFileSystemWatcher;

class DatabaseFileWatch : public QObject {
    Q_OBJECT

public:
    explicit DatabaseFileWatch(const QString& path, QObject* parent = nullptr);

    // Turning the watch on also reports once: the file may have changed while it was off.
    void setWatching(bool on);
    bool isWatching() const;
    // What is watched now; empty while off.
    QStringList watchedPaths() const;

signals:
    // Something was written where the file lives; ask the file whether it changed. A burst of
    // writes gives one report, and a steady writer one report per settle interval.
    void touched();

private:
    void rearm();
    void noteEvent();
    QStringList wantedPaths() const;

    QString m_path;
    QFileSystemWatcher* m_watcher = nullptr; // exists only while watching
    QTimer m_settle;
};
