// A small INI store with the classic private-profile reading rules and per-key updates that keep
// every other line of the file byte for byte. Files are replaced atomically, never rewritten in
// place, so a crash or a full disk leaves the old file or the new one.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// The longest value a read gives back (the classic 2,048-character buffer less its terminator).
inline constexpr qsizetype MaxIniValueLength = 2047;

class IniDocument {
public:
    // Reads UTF-8 with or without BOM and UTF-16 (either byte order) with BOM. Never fails.
    static IniDocument fromBytes(const QByteArray& bytes);

    // The document in the encoding and with the line ends it was read in; new lines use the
    // file's first line end (LF in an empty file).
    QByteArray toBytes() const;

    // The value, blanks trimmed and one pair of quotes stripped, cut to MaxIniValueLength without
    // splitting a surrogate pair; nullopt when the section or key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // Replaces the key's value, or adds the key to its section, or the section at the end.
    // Refuses (returns false, changes nothing) a value holding CR, LF or NUL.
    bool setValue(QStringView section, QStringView key, const QString& value);

private:
    enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be };

    // One line of the body in code units (bytes for UTF-8, 16-bit units for UTF-16): its content
    // [begin, end) and the start of the next line, after the line end.
    struct LineSpan {
        qsizetype begin = 0;
        qsizetype end = 0;
        qsizetype next = 0;
    };

    struct KeySearch;

    qsizetype unitSize() const;
    qsizetype unitCount() const;
    char16_t unitAt(qsizetype index) const;
    LineSpan lineAt(qsizetype begin) const;
    QString decode(qsizetype begin, qsizetype end) const;
    QByteArray encode(QStringView text) const;
    QByteArray lineEnd() const;
    KeySearch find(QStringView section, QStringView key) const;
    bool canSkipUndecoded(const LineSpan& span, QStringView key, KeySearch& found) const;
    void insertUnits(qsizetype at, const QByteArray& encoded);

    Encoding m_encoding = Encoding::Utf8;
    QByteArray m_body;    // everything between the byte order mark and m_oddTail
    QByteArray m_oddTail; // the last byte of an odd-length UTF-16 file, kept as it was
};

// A settings file is a few hundred bytes; anything far larger is not one, and is never read whole.
inline constexpr qint64 MaxIniFileSize = 16 * 1024 * 1024;

// The bytes of the file at `path`: empty for a missing file, nullopt for one that must not be
// read: not a regular file (a named pipe would block, a device never ends), larger than
// MaxIniFileSize, or unreadable.
std::optional<QByteArray> readIniFile(const QString& path);

struct IniWrite {
    QString section;
    QString key;
    QString value;
};

// One key of the file at `path`, or `defaultValue` when the file, section or key is missing or
// the file cannot be read.
QString readIniString(const QString& path, const QString& section, const QString& key,
                      const QString& defaultValue);

// Applies every write to the file's current content and replaces the file atomically (in place
// only where the folder refuses a new file). All or nothing: on any refusal (bad value, a file
// readIniFile refuses, unwritable place, full disk) it returns false and the file is unchanged.
bool writeIniStrings(const QString& path, const QList<IniWrite>& writes);

inline bool writeIniString(const QString& path, const QString& section, const QString& key,
                           const QString& value) {
    return writeIniStrings(path, {IniWrite{section, key, value}});
}
