#include "export/icalendarwriter.h"

#include <QUuid>

namespace {

constexpr qsizetype MaxLineOctets = 75;

// The namespace of every UID this program makes; fixed forever, or re-imports duplicate.
const QUuid UidNamespace(QStringLiteral("{6f1d3c2a-9b47-4e85-a1c0-5d2e7f4b8a93}"));

QLatin1StringView kindName(CalendarEventKind kind) {
    switch (kind) {
    // A date is either a duty day or an RDO of the member, never both: one event, "the
    // member's day", whose text changes in place when the group changes within a crew.
    case CalendarEventKind::Duty:
    case CalendarEventKind::Rdo:
        return QLatin1StringView("duty");
    case CalendarEventKind::Payday:
        return QLatin1StringView("payday");
    case CalendarEventKind::PayPeriodStart:
        return QLatin1StringView("pay-period-start");
    case CalendarEventKind::ExtraWork:
    case CalendarEventKind::Note:
        break;
    }
    return {};
}

QByteArray dateValue(DateSerial date) {
    return qdateFromSerial(date).toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

// The wall-clock time alone: a floating DATE-TIME, neither TZID nor Z.
QByteArray floatingValue(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyyMMdd'T'HHmmss")).toLatin1();
}

// A UTF-8 continuation byte: 10xxxxxx.
bool continuesCharacter(char octet) {
    return (static_cast<unsigned char>(octet) & 0xC0) == 0x80;
}

class ContentLines {
public:
    void add(const char* name, const QByteArray& value) {
        m_bytes += FoldContentLine(QByteArray(name) + ':' + value);
    }
    void addText(const char* name, const QString& text) {
        add(name, EscapeCalendarText(text).toUtf8());
    }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

} // namespace

QString EscapeCalendarText(const QString& text) {
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case u'\\':
        case u';':
        case u',':
            escaped += u'\\';
            escaped += c;
            break;
        case u'\r':
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            escaped += QStringLiteral("\\n");
            break;
        case u'\n':
            escaped += QStringLiteral("\\n");
            break;
        default:
            if (c == u'\t' || (c.unicode() >= 0x20 && c.unicode() != 0x7F))
                escaped += c;
        }
    }
    return escaped;
}

QByteArray FoldContentLine(const QByteArray& line) {
    QByteArray folded;
    qsizetype start = 0;
    qsizetype room = MaxLineOctets;
    while (line.size() - start > room) {
        qsizetype cut = start + room;
        while (cut > start && continuesCharacter(line.at(cut)))
            --cut;
        folded += line.mid(start, cut - start);
        folded += "\r\n ";
        start = cut;
        room = MaxLineOctets - 1; // the leading space counts
    }
    folded += line.mid(start);
    folded += "\r\n";
    return folded;
}

QString CalendarEventUid(const CalendarEvent& event) {
    if (!event.entryId.isNull())
        return event.entryId.toString(QUuid::WithoutBraces);
    const QString name =
        kindName(event.kind) + u'/' + qdateFromSerial(event.date).toString(Qt::ISODate);
    return QUuid::createUuidV5(UidNamespace, name).toString(QUuid::WithoutBraces);
}

namespace {

QByteArray utcStamp(const QDateTime& stamp) {
    return stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
}

void addCalendarHead(ContentLines& lines, const CalendarFileHeader& header) {
    lines.add("BEGIN", "VCALENDAR");
    lines.add("VERSION", "2.0");
    lines.addText("PRODID", header.productId);
    lines.add("CALSCALE", "GREGORIAN");
}

void addEvent(ContentLines& lines, const CalendarEvent& event, const QByteArray& stamp) {
    lines.add("BEGIN", "VEVENT");
    lines.add("UID", CalendarEventUid(event).toLatin1());
    lines.add("DTSTAMP", stamp);
    if (event.start.isValid() && event.end.isValid()) {
        lines.add("DTSTART", floatingValue(event.start));
        lines.add("DTEND", floatingValue(event.end));
    } else {
        lines.add("DTSTART;VALUE=DATE", dateValue(event.date));
        lines.add("DTEND;VALUE=DATE", dateValue(event.date + 1)); // the end is exclusive
    }
    lines.add("SEQUENCE", QByteArray::number(event.sequence));
    lines.addText("SUMMARY", event.summary);
    if (!event.description.isEmpty())
        lines.addText("DESCRIPTION", event.description);
    if (event.transparent)
        lines.add("TRANSP", "TRANSPARENT");
    lines.add("END", "VEVENT");
}

} // namespace

QByteArray WriteICalendar(const CalendarFileHeader& header, const QList<CalendarEvent>& events) {
    const QByteArray stamp = utcStamp(header.stamp);
    ContentLines lines;
    addCalendarHead(lines, header);
    lines.addText("X-WR-CALNAME", header.name);
    for (const CalendarEvent& event : events)
        addEvent(lines, event, stamp);
    lines.add("END", "VCALENDAR");
    return lines.bytes();
}

QByteArray WriteICalendarEvent(const CalendarFileHeader& header, const CalendarEvent& event) {
    ContentLines lines;
    addCalendarHead(lines, header);
    addEvent(lines, event, utcStamp(header.stamp));
    lines.add("END", "VCALENDAR");
    return lines.bytes();
}
