#include "settings/inistore.h"

#include "core/asciicase.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr char16_t CarriageReturn = u'\r';
constexpr char16_t LineFeed = u'\n';

enum class LineKind { Blank, Comment, Section, Key, Other };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    QStringView name;  // section or key name, trimmed
    QStringView value; // key value, trimmed, quotes not yet stripped
};

// The views point into `text`.
ParsedLine parseLine(QStringView text) {
    const QStringView line = text.trimmed();
    if (line.isEmpty())
        return {};
    if (line.front() == u';')
        return {LineKind::Comment, {}, {}};
    if (line.front() == u'[') {
        const qsizetype close = line.lastIndexOf(u']');
        if (close > 0)
            return {LineKind::Section, line.sliced(1, close - 1).trimmed(), {}};
        // A "[" without "]" is read like any other line.
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return {LineKind::Other, {}, {}};
    return {LineKind::Key, line.first(equals).trimmed(), line.sliced(equals + 1).trimmed()};
}

// The blanks that QString::trimmed() removes below 0x80.
bool isAsciiBlank(char16_t unit) {
    return unit == u' ' || (unit >= u'\t' && unit <= u'\r');
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringView stripQuotes(QStringView value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

QString cutToReadLength(QStringView value) {
    if (value.size() <= MaxIniValueLength)
        return value.toString();
    qsizetype length = MaxIniValueLength;
    if (value.at(length - 1).isHighSurrogate())
        --length;
    return value.first(length).toString();
}

// Line breaks would split the line and NUL ends the text for classic readers; a lone surrogate
// cannot be stored in UTF-8. None of them would read back as written.
bool isStorableText(QStringView text) {
    for (const QChar c : text) {
        if (c == QChar(CarriageReturn) || c == QChar(LineFeed) || c.isNull())
            return false;
    }
    return text.isValidUtf16();
}

bool isStorableSection(QStringView name) {
    return !name.isEmpty() && name == name.trimmed() && isStorableText(name);
}

bool isStorableKey(QStringView name) {
    return !name.isEmpty() && name == name.trimmed() && isStorableText(name) &&
           !name.contains(u'=') && name.front() != u';' && name.front() != u'[';
}

// Reading trims blanks and strips one pair of quotes; quoting protects a value from both.
QString storedForm(const QString& value) {
    const bool readsBackChanged =
        QStringView(value).trimmed().size() != value.size() || stripQuotes(value) != value;
    return readsBackChanged ? u'"' + value + u'"' : value;
}

} // namespace

struct IniDocument::KeySearch {
    std::optional<LineSpan> header;  // the first section of that name
    std::optional<LineSpan> lastKey; // its last key line
    std::optional<LineSpan> key;     // the key's first line in that section
    QString keyLineText;
};

IniDocument IniDocument::fromBytes(const QByteArray& bytes) {
    IniDocument document;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        document.m_encoding = Encoding::Utf8Bom;
        document.m_body = bytes.sliced(3);
    } else if (bytes.startsWith("\xFF\xFE")) {
        document.m_encoding = Encoding::Utf16Le;
        document.m_body = bytes.sliced(2);
    } else if (bytes.startsWith("\xFE\xFF")) {
        document.m_encoding = Encoding::Utf16Be;
        document.m_body = bytes.sliced(2);
    } else {
        document.m_body = bytes;
    }
    if (document.unitSize() == 2 && document.m_body.size() % 2 != 0) {
        document.m_oddTail = document.m_body.last(1);
        document.m_body.chop(1);
    }
    return document;
}

QByteArray IniDocument::toBytes() const {
    QByteArray bytes;
    switch (m_encoding) {
    case Encoding::Utf8:
        break;
    case Encoding::Utf8Bom:
        bytes = "\xEF\xBB\xBF";
        break;
    case Encoding::Utf16Le:
        bytes = "\xFF\xFE";
        break;
    case Encoding::Utf16Be:
        bytes = "\xFE\xFF";
        break;
    }
    return bytes + m_body + m_oddTail;
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const {
    const KeySearch found = find(section, key);
    if (!found.key)
        return std::nullopt;
    return cutToReadLength(stripQuotes(parseLine(found.keyLineText).value));
}

bool IniDocument::setValue(QStringView section, QStringView key, const QString& value) {
    if (!isStorableSection(section) || !isStorableKey(key) || !isStorableText(value))
        return false;
    const QString stored = storedForm(value);
    const KeySearch found = find(section, key);

    if (found.key) {
        // The name, the "=" and the blanks after it stay as they were; the value is replaced.
        qsizetype keep = found.key->begin;
        while (keep < found.key->end && unitAt(keep) != u'=')
            ++keep;
        ++keep;
        while (keep < found.key->end && (unitAt(keep) == u' ' || unitAt(keep) == u'\t'))
            ++keep;
        m_body.replace(keep * unitSize(), (found.key->end - keep) * unitSize(), encode(stored));
        return true;
    }

    const QString keyLine = key.toString() + u'=' + stored;
    if (found.header) {
        const LineSpan after = found.lastKey ? *found.lastKey : *found.header;
        if (after.next == after.end) { // the file's last line, without a line end
            insertUnits(after.end, lineEnd() + encode(keyLine));
            return true;
        }
        QByteArray end = lineEnd();
        // A lone CR right before an LF would merge with it into one CRLF line end.
        if (end == encode(u"\r") && after.next < unitCount() && unitAt(after.next) == LineFeed)
            end = encode(u"\r\n");
        insertUnits(after.next, encode(keyLine) + end);
        return true;
    }

    QByteArray appended;
    const qsizetype count = unitCount();
    if (count > 0 && unitAt(count - 1) != CarriageReturn && unitAt(count - 1) != LineFeed)
        appended += lineEnd();
    appended += encode(u'[' + section.toString() + u']') + lineEnd() + encode(keyLine) + lineEnd();
    insertUnits(count, appended);
    return true;
}

qsizetype IniDocument::unitSize() const {
    return m_encoding == Encoding::Utf16Le || m_encoding == Encoding::Utf16Be ? 2 : 1;
}

qsizetype IniDocument::unitCount() const {
    return m_body.size() / unitSize();
}

char16_t IniDocument::unitAt(qsizetype index) const {
    const char* data = m_body.constData();
    switch (m_encoding) {
    case Encoding::Utf16Le:
        return qFromLittleEndian<char16_t>(data + 2 * index);
    case Encoding::Utf16Be:
        return qFromBigEndian<char16_t>(data + 2 * index);
    case Encoding::Utf8:
    case Encoding::Utf8Bom:
        break;
    }
    return static_cast<unsigned char>(data[index]);
}

IniDocument::LineSpan IniDocument::lineAt(qsizetype begin) const {
    const qsizetype count = unitCount();
    qsizetype end = begin;
    if (unitSize() == 1) {
        const char* data = m_body.constData();
        end = std::find_if(data + begin, data + count,
                           [](char c) { return c == '\r' || c == '\n'; }) -
              data;
    } else {
        while (end < count && unitAt(end) != CarriageReturn && unitAt(end) != LineFeed)
            ++end;
    }
    qsizetype next = end;
    if (next < count) {
        const bool crlf =
            unitAt(next) == CarriageReturn && next + 1 < count && unitAt(next + 1) == LineFeed;
        next += crlf ? 2 : 1;
    }
    return {begin, end, next};
}

QString IniDocument::decode(qsizetype begin, qsizetype end) const {
    if (unitSize() == 1)
        return QString::fromUtf8(m_body.constData() + begin, end - begin);
    QString text(end - begin, Qt::Uninitialized);
    for (qsizetype i = begin; i < end; ++i)
        text[i - begin] = QChar(unitAt(i));
    return text;
}

QByteArray IniDocument::encode(QStringView text) const {
    if (unitSize() == 1)
        return text.toUtf8();
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    if (m_encoding == Encoding::Utf16Le)
        qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    else
        qToBigEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    return bytes;
}

QByteArray IniDocument::lineEnd() const {
    const LineSpan first = lineAt(0);
    if (first.next == first.end)
        return encode(u"\n");
    return encode(decode(first.end, first.next));
}

IniDocument::KeySearch IniDocument::find(QStringView section, QStringView key) const {
    KeySearch found;
    const qsizetype count = unitCount();
    for (qsizetype at = 0; at < count;) {
        const LineSpan span = lineAt(at);
        at = span.next;
        if (canSkipUndecoded(span, key, found))
            continue;
        const QString text = decode(span.begin, span.end);
        const ParsedLine line = parseLine(text);
        if (line.kind == LineKind::Section) {
            if (found.header)
                break; // the first section of a name wins; later duplicates are not read
            if (sameName(line.name, section))
                found.header = span;
            continue;
        }
        if (!found.header || line.kind != LineKind::Key)
            continue;
        found.lastKey = span;
        if (sameName(line.name, key)) {
            found.key = span;
            found.keyLineText = text;
            break;
        }
    }
    return found;
}

// Most lines of a large file are decided by their first non-blank unit, without decoding them:
// outside the wanted section only section headers matter, inside it only key lines whose name
// could match. ASCII letters fold only to ASCII letters, so an ASCII first letter that differs
// from the key's rules the key out.
bool IniDocument::canSkipUndecoded(const LineSpan& span, QStringView key, KeySearch& found) const {
    qsizetype first = span.begin;
    while (first < span.end && isAsciiBlank(unitAt(first)))
        ++first;
    if (first == span.end)
        return true;
    const char16_t lead = unitAt(first);
    if (lead >= 0x80 || lead == u'[')
        return false;
    if (lead == u';' || !found.header)
        return true;
    qsizetype equals = first;
    while (equals < span.end && unitAt(equals) != u'=')
        ++equals;
    if (equals == span.end)
        return true; // no key
    if (key.isEmpty() || key.front().unicode() >= 0x80 ||
        foldAsciiCase(lead) == foldAsciiCase(key.front().unicode()))
        return false;
    found.lastKey = span;
    return true;
}

void IniDocument::insertUnits(qsizetype at, const QByteArray& encoded) {
    m_body.insert(at * unitSize(), encoded);
}

namespace {

// QSaveFile would replace a symbolic link by a plain file; the write goes to the link's target.
std::optional<QString> resolveLinks(const QString& path) {
    QString resolved = path;
    for (int depth = 0; depth < 40; ++depth) {
        const QFileInfo info(resolved);
        if (!info.isSymbolicLink())
            return resolved;
        resolved = info.symLinkTarget();
    }
    return std::nullopt; // a loop of links
}

} // namespace

std::optional<QByteArray> readIniFile(const QString& path) {
    const QFileInfo info(path); // follows symbolic links: a dangling one is a missing file
    if (!info.exists())
        return QByteArray();
    if (!info.isFile() || info.size() > MaxIniFileSize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Asked for the whole cap at once, read() would allocate the cap on every load. The size
    // found above and one byte more normally meets the end of the file; a file that grew since,
    // or one that reports no size (as /proc does), is read on to one byte past the cap.
    QByteArray bytes(static_cast<qsizetype>(info.size()) + 1, Qt::Uninitialized);
    const qint64 first = file.read(bytes.data(), bytes.size());
    if (first < 0)
        return std::nullopt;
    bytes.truncate(static_cast<qsizetype>(first));
    char more[4096];
    while (bytes.size() <= MaxIniFileSize) {
        const qint64 room = std::min<qint64>(sizeof more, MaxIniFileSize + 1 - bytes.size());
        const qint64 got = file.read(more, room);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        bytes.append(more, static_cast<qsizetype>(got));
    }
    if (bytes.size() > MaxIniFileSize)
        return std::nullopt;
    return bytes;
}

QString readIniString(const QString& path, const QString& section, const QString& key,
                      const QString& defaultValue) {
    const std::optional<QByteArray> bytes = readIniFile(path);
    if (!bytes)
        return defaultValue;
    return IniDocument::fromBytes(*bytes).value(section, key).value_or(defaultValue);
}

bool writeIniStrings(const QString& path, const QList<IniWrite>& writes) {
    const std::optional<QString> target = resolveLinks(path);
    if (!target)
        return false;
    // Without the current content every other line would be lost.
    const std::optional<QByteArray> current = readIniFile(*target);
    if (!current)
        return false;

    IniDocument document = IniDocument::fromBytes(*current);
    for (const IniWrite& write : writes) {
        if (!document.setValue(write.section, write.key, write.value))
            return false;
    }

    QSaveFile out(*target);
    // A folder the user may not write to can still hold a settings file the user may write to:
    // there the file is rewritten in place, which is not atomic, rather than refused. Everywhere
    // else the new file replaces the old one in one step.
    out.setDirectWriteFallback(true);
    // Unbuffered, so a full disk fails the write itself: with Qt 6.4 a failed flush inside
    // commit() was seen to go unreported, replacing the file by an empty one.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = document.toBytes();
    if (out.write(bytes) != bytes.size())
        return false; // the destructor discards the temporary file
    return out.commit();
}
