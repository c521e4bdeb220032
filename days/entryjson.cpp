#include "days/entryjson.h"

#include <QDate>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>

namespace {

const QString FormatName = QStringLiteral("tourwise-days");
const QStringList TopKeys = {QStringLiteral("format"), QStringLiteral("version"),
                             QStringLiteral("assignmentHistory"), QStringLiteral("banks"),
                             QStringLiteral("entries")};
const QStringList BankKeys = {"bank", "asOf",      "balance",  "accrual",
                              "cap",  "carryOver", "yearStart"};
const QStringList AssignmentKeys = {QStringLiteral("assignment"), QStringLiteral("until")};
const QStringList Assignments = {"RDO", "A1", "A2", "A3", "A4", "A5", "A6", "A7",
                                 "B1",  "B2", "B3", "B4", "B5", "B6", "B7"};
const QStringList EntryKeys = {
    QStringLiteral("id"),        QStringLiteral("date"),    QStringLiteral("kind"),
    QStringLiteral("minutes"),   QStringLiteral("start"),   QStringLiteral("with"),
    QStringLiteral("leaveType"), QStringLiteral("note"),    QStringLiteral("comp"),
    QStringLiteral("revision"),  QStringLiteral("modified")};

// JSON string with only what JSON requires escaped, so non-ASCII text stays readable.
void appendString(QByteArray& out, const QString& text) {
    out += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t unit = c.unicode();
        if (unit == u'"' || unit == u'\\') {
            out += '\\';
            out += char(unit);
        } else if (unit == u'\n') {
            out += "\\n";
        } else if (unit == u'\t') {
            out += "\\t";
        } else if (unit == u'\r') {
            out += "\\r";
        } else if (unit < 0x20) {
            out += QByteArray("\\u00") + QByteArray::number(unit, 16).rightJustified(2, '0');
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += QStringView(text).mid(i, 2).toUtf8();
            ++i;
        } else if (c.isSurrogate()) {
            // A lone half of a pair has no UTF-8 form; the escape keeps it as it is.
            out += QByteArray("\\u") + QByteArray::number(unit, 16).rightJustified(4, '0');
        } else {
            out += QStringView(&c, 1).toUtf8();
        }
    }
    out += '"';
}

// Text from the file as it is written there, quoted and escaped, so that a message about it
// stays one line; long text is cut.
QString shown(const QString& text) {
    constexpr qsizetype Longest = 60;
    QByteArray out;
    appendString(out, text.left(Longest));
    return QString::fromUtf8(out) + (text.size() > Longest ? QStringLiteral("...") : QString());
}

// An id as a name for an entry: as it stands when it is plain, else quoted as shown().
QString idName(const QString& id) {
    const bool plain = id.size() <= 40 && std::all_of(id.begin(), id.end(), [](QChar c) {
                           return c.unicode() > 0x20 && c.unicode() < 0x7f && c != u'"';
                       });
    return plain ? id : shown(id);
}

void appendField(QByteArray& out, const char* name, const QString& text) {
    out += ", \"";
    out += name;
    out += "\": ";
    appendString(out, text);
}

void appendField(QByteArray& out, const char* name, qint64 value) {
    out += ", \"";
    out += name;
    out += "\": ";
    out += QByteArray::number(value);
}

QString dateText(DateSerial date) {
    return qdateFromSerial(date).toString(QStringLiteral("yyyy-MM-dd"));
}

QString modifiedText(const QDateTime& time) {
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss'Z'"));
}

QString idText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces);
}

// Reads one entry; on failure says what is wrong with which field, without the entry's name.
class EntryReader {
public:
    EntryReader(const QJsonObject& object, const QDateTime& importTime)
        : m_object(object), m_importTime(importTime) {}

    std::optional<DayEntry> read() {
        for (auto it = m_object.begin(); it != m_object.end(); ++it)
            if (!EntryKeys.contains(it.key()))
                return fail(QStringLiteral("it has a field %1 that Tourwise does not know")
                                .arg(shown(it.key())));
        DayEntry entry;
        if (!readId(entry) || !readDate(entry) || !readKind(entry) || !readMinutes(entry) ||
            !readStart(entry) || !readText(QStringLiteral("with"), entry.with) ||
            !readLeaveType(entry) || !readText(QStringLiteral("note"), entry.note) ||
            !readComp(entry) || !readRevision(entry) || !readModified(entry))
            return std::nullopt;
        return entry;
    }

    QString problem() const { return m_problem; }

private:
    std::nullopt_t fail(const QString& problem) {
        m_problem = problem;
        return std::nullopt;
    }
    bool wrong(const QString& problem) {
        m_problem = problem;
        return false;
    }

    // The field as text; a missing field gives a null string when `required` is false.
    std::optional<QString> text(const QString& name, bool required) {
        const QJsonValue value = m_object.value(name);
        if (value.isUndefined()) {
            if (required)
                return fail(QStringLiteral("the field %1 is missing").arg(shown(name)));
            return QString();
        }
        if (!value.isString())
            return fail(QStringLiteral("%1 is not text").arg(shown(name)));
        return value.toString();
    }

    // The field as a whole number; none when missing and not required.
    bool integer(const QString& name, bool required, std::optional<qint64>& result) {
        const QJsonValue value = m_object.value(name);
        if (value.isUndefined()) {
            return !required || wrong(QStringLiteral("the field %1 is missing").arg(shown(name)));
        }
        const double number = value.toDouble();
        if (!value.isDouble() || std::floor(number) != number || std::abs(number) > 1e15)
            return wrong(QStringLiteral("%1 is not a whole number").arg(shown(name)));
        result = static_cast<qint64>(number);
        return true;
    }

    bool readId(DayEntry& entry) {
        static const QRegularExpression form(
            QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
        const std::optional<QString> id = text(QStringLiteral("id"), true);
        if (!id)
            return false;
        entry.id = QUuid::fromString(*id);
        if (!form.match(*id).hasMatch() || entry.id.isNull())
            return wrong(QStringLiteral("the id %1 is not a lower-case UUID").arg(shown(*id)));
        return true;
    }

    bool readDate(DayEntry& entry) {
        static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
        const std::optional<QString> date = text(QStringLiteral("date"), true);
        if (!date)
            return false;
        if (!form.match(*date).hasMatch())
            return wrong(
                QStringLiteral("the date %1 is not of the form YYYY-MM-DD").arg(shown(*date)));
        const QDate day = QDate::fromString(*date, QStringLiteral("yyyy-MM-dd"));
        if (!day.isValid())
            return wrong(QStringLiteral("the date %1 does not exist").arg(shown(*date)));
        entry.date = serialFromQDate(day);
        return true;
    }

    bool readKind(DayEntry& entry) {
        const std::optional<QString> kind = text(QStringLiteral("kind"), true);
        if (!kind)
            return false;
        const std::optional<EntryKind> known = entryKindFromName(*kind);
        if (!known)
            return wrong(QStringLiteral("the kind %1 is not one of trade-out, trade-in, leave, "
                                        "overtime, holdover, training, note")
                             .arg(shown(*kind)));
        entry.kind = *known;
        return true;
    }

    bool readMinutes(DayEntry& entry) {
        std::optional<qint64> minutes;
        if (!integer(QStringLiteral("minutes"), false, minutes))
            return false;
        if (minutes && *minutes < 0)
            return wrong(QStringLiteral("the minutes, %1, are negative").arg(*minutes));
        if (minutes && *minutes > MaxEntryMinutes)
            return wrong(QStringLiteral("the minutes, %1, are more than 48 hours").arg(*minutes));
        if (minutes)
            entry.minutes = static_cast<int>(*minutes);
        return true;
    }

    bool readStart(DayEntry& entry) {
        const std::optional<QString> start = text(QStringLiteral("start"), false);
        if (!start)
            return false;
        if (start->isNull())
            return true;
        entry.start = clockFromText(*start);
        if (!entry.start)
            return wrong(
                QStringLiteral("the start %1 is not a time 00:00 ... 23:59").arg(shown(*start)));
        return true;
    }

    bool readText(const QString& name, QString& field) {
        const std::optional<QString> value = text(name, false);
        if (!value)
            return false;
        // Half of a UTF-16 pair stands for no character: no file could store it.
        if (!QStringView(*value).isValidUtf16())
            return wrong(QStringLiteral("%1 is not valid Unicode text").arg(shown(name)));
        field = value->isNull() ? QString() : *value;
        return true;
    }

    bool readLeaveType(DayEntry& entry) {
        const std::optional<QString> type = text(QStringLiteral("leaveType"), false);
        if (!type)
            return false;
        if (type->isNull())
            return true;
        if (entry.kind != EntryKind::Leave)
            return wrong(QStringLiteral("it has a leaveType but is not leave"));
        const std::optional<LeaveType> known = leaveTypeFromName(*type);
        if (!known)
            return wrong(QStringLiteral("the leaveType %1 is not one of vacation, sick, comp, "
                                        "holiday, other")
                             .arg(shown(*type)));
        entry.leaveType = *known;
        return true;
    }

    bool readComp(DayEntry& entry) {
        const QJsonValue value = m_object.value(QStringLiteral("comp"));
        if (value.isUndefined())
            return true;
        if (!value.isBool())
            return wrong(QStringLiteral("\"comp\" is not true or false"));
        if (value.toBool() && entry.kind != EntryKind::Overtime &&
            entry.kind != EntryKind::Holdover)
            return wrong(QStringLiteral("it is taken as comp time but is not overtime or a "
                                        "holdover"));
        entry.comp = value.toBool();
        return true;
    }

    bool readRevision(DayEntry& entry) {
        std::optional<qint64> revision;
        if (!integer(QStringLiteral("revision"), true, revision))
            return false;
        if (*revision < 1 || *revision > INT_MAX)
            return wrong(QStringLiteral("the revision, %1, is not 1 or more").arg(*revision));
        entry.revision = static_cast<int>(*revision);
        return true;
    }

    bool readModified(DayEntry& entry) {
        static const QRegularExpression form(
            QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}Z$"));
        // A file made by hand may leave the time out: the entry is then as new as the import.
        const std::optional<QString> modified =
            text(QStringLiteral("modified"), !m_importTime.isValid());
        if (!modified)
            return false;
        if (modified->isNull()) {
            entry.modified = m_importTime.toUTC();
            entry.modified = entry.modified.addMSecs(-entry.modified.time().msec());
            return true;
        }
        entry.modified = QDateTime::fromString(*modified, Qt::ISODate).toUTC();
        // Read back to catch what the parser lets through, such as 24:00:00.
        if (!form.match(*modified).hasMatch() || !entry.modified.isValid() ||
            modifiedText(entry.modified) != *modified)
            return wrong(QStringLiteral("the time %1 is not a UTC time of the form "
                                        "YYYY-MM-DDTHH:MM:SSZ")
                             .arg(shown(*modified)));
        return true;
    }

    const QJsonObject& m_object;
    QDateTime m_importTime;
    QString m_problem;
};

// The banks' set-ups of a version 3 file, as stated; the import checks them.
std::optional<QList<BankSetupInput>> readBanks(const QJsonValue& value, QString* error) {
    const auto refused = [error](const QString& message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (!value.isArray())
        return refused(QStringLiteral("The file's \"banks\" is not a list."));
    QList<BankSetupInput> banks;
    const QJsonArray array = value.toArray();
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QString name = QStringLiteral("Bank %1").arg(i + 1);
        if (!array.at(i).isObject())
            return refused(name + QStringLiteral(" is not an object."));
        const QJsonObject object = array.at(i).toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            if (!BankKeys.contains(it.key()))
                return refused(name + QStringLiteral(": it has a field %1 that Tourwise does not "
                                                     "know.")
                                          .arg(shown(it.key())));
        BankSetupInput bank;
        for (const char* required : {"bank", "asOf"}) {
            const QJsonValue field = object.value(QLatin1StringView(required));
            if (!field.isString())
                return refused(name + QStringLiteral(": the field \"%1\" is missing or not text.")
                                          .arg(QLatin1StringView(required)));
        }
        bank.bank = object.value(QStringLiteral("bank")).toString();
        bank.asOf = object.value(QStringLiteral("asOf")).toString();
        const auto amount = [&](const char* field, bool required,
                                std::optional<double>& into) -> bool {
            const QJsonValue number = object.value(QLatin1StringView(field));
            if (number.isUndefined())
                return !required;
            if (!number.isDouble())
                return false;
            into = number.toDouble();
            return true;
        };
        for (const auto& [field, required, into] :
             {std::tuple<const char*, bool, std::optional<double>*>{"balance", true, &bank.balance},
              {"accrual", true, &bank.accrual},
              {"cap", false, &bank.cap},
              {"carryOver", false, &bank.carryOver}})
            if (!amount(field, required, *into))
                return refused(name + QStringLiteral(": \"%1\" is %2.")
                                          .arg(QLatin1StringView(field),
                                               object.contains(QLatin1StringView(field))
                                                   ? QStringLiteral("not a number of hours")
                                                   : QStringLiteral("missing")));
        const QJsonValue yearStart = object.value(QStringLiteral("yearStart"));
        if (!yearStart.isUndefined() && !yearStart.isString())
            return refused(name + QStringLiteral(": \"yearStart\" is not text."));
        if (yearStart.isString())
            bank.yearStart = yearStart.toString();
        banks.append(bank);
    }
    return banks;
}

// The earlier assignments of a version 2 file.
std::optional<QList<AssignmentPeriod>> readHistory(const QJsonValue& value, QString* error) {
    const auto refused = [error](const QString& message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (!value.isArray())
        return refused(QStringLiteral("The file's \"assignmentHistory\" is not a list."));
    QList<AssignmentPeriod> periods;
    QHash<qint64, qsizetype> lastDays;
    const QJsonArray array = value.toArray();
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QString name = QStringLiteral("Assignment %1 of the history").arg(i + 1);
        if (!array.at(i).isObject())
            return refused(name + QStringLiteral(" is not an object."));
        const QJsonObject object = array.at(i).toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            if (!AssignmentKeys.contains(it.key()))
                return refused(name + QStringLiteral(": it has a field %1 that Tourwise does not "
                                                     "know.")
                                          .arg(shown(it.key())));
        const QJsonValue group = object.value(QStringLiteral("assignment"));
        if (!group.isString() || !Assignments.contains(group.toString()))
            return refused(name + QStringLiteral(": the assignment %1 is not one of A1 ... A7, "
                                                 "B1 ... B7 or RDO.")
                                      .arg(shown(group.toVariant().toString())));
        const QJsonValue until = object.value(QStringLiteral("until"));
        static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
        const QDate day = QDate::fromString(until.toString(), QStringLiteral("yyyy-MM-dd"));
        if (!until.isString() || !form.match(until.toString()).hasMatch() || !day.isValid())
            return refused(name + QStringLiteral(": its \"until\" %1 is not a day of the form "
                                                 "YYYY-MM-DD.")
                                      .arg(shown(until.toVariant().toString())));
        const DateSerial last = serialFromQDate(day);
        if (const auto seen = lastDays.constFind(dayKey(last)); seen != lastDays.constEnd())
            return refused(name + QStringLiteral(": %1 is the last day of assignment %2 too.")
                                      .arg(until.toString())
                                      .arg(*seen + 1));
        lastDays.insert(dayKey(last), i);
        periods.append({group.toString(), last});
    }
    return periods;
}

std::nullopt_t refuse(QString* error, const QString& message) {
    if (error)
        *error = message;
    return std::nullopt;
}

} // namespace

QByteArray daysToJson(QList<DayEntry> entries, const QList<AssignmentPeriod>& assignmentHistory,
                      const QList<BankSetup>& banks) {
    std::stable_sort(entries.begin(), entries.end(), entryBefore);
    QByteArray out = "{\n  \"format\": \"tourwise-days\",\n  \"version\": " +
                     QByteArray::number(DaysJsonVersion) + ",\n  \"assignmentHistory\": [";
    QList<AssignmentPeriod> history = assignmentHistory;
    std::stable_sort(
        history.begin(), history.end(),
        [](const AssignmentPeriod& a, const AssignmentPeriod& b) { return a.until < b.until; });
    for (qsizetype i = 0; i < history.size(); ++i) {
        out += i == 0 ? "\n    {\"assignment\": " : ",\n    {\"assignment\": ";
        appendString(out, history[i].assignment);
        appendField(out, "until", dateText(history[i].until));
        out += '}';
    }
    out += history.isEmpty() ? "],\n  \"banks\": [" : "\n  ],\n  \"banks\": [";
    for (qsizetype i = 0; i < banks.size(); ++i) {
        const BankSetup& bank = banks[i];
        out += i == 0 ? "\n    {\"bank\": " : ",\n    {\"bank\": ";
        appendString(out, bankName(bank.bank));
        appendField(out, "asOf", dateText(bank.asOf));
        const auto number = [&out](const char* name, Hundredths amount) {
            out += QByteArray(", \"") + name + "\": " + hundredthsText(amount).toLatin1();
        };
        number("balance", bank.balance);
        number("accrual", bank.accrual);
        if (bank.cap)
            number("cap", *bank.cap);
        if (bank.carryOver)
            number("carryOver", *bank.carryOver);
        appendField(out, "yearStart", monthDayText(bank.yearStart));
        out += '}';
    }
    out += banks.isEmpty() ? "],\n  \"entries\": [" : "\n  ],\n  \"entries\": [";
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const DayEntry& entry = entries[i];
        out += i == 0 ? "\n    {\"id\": " : ",\n    {\"id\": ";
        appendString(out, idText(entry.id));
        appendField(out, "date", dateText(entry.date));
        appendField(out, "kind", entryKindName(entry.kind));
        if (entry.minutes)
            appendField(out, "minutes", *entry.minutes);
        if (entry.start)
            appendField(out, "start", clockText(*entry.start));
        if (!entry.with.isEmpty())
            appendField(out, "with", entry.with);
        if (entry.leaveType != LeaveType::None)
            appendField(out, "leaveType", leaveTypeName(entry.leaveType));
        if (!entry.note.isEmpty())
            appendField(out, "note", entry.note);
        if (entry.comp)
            out += ", \"comp\": true";
        appendField(out, "revision", entry.revision);
        appendField(out, "modified", modifiedText(entry.modified));
        out += '}';
    }
    out += entries.isEmpty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

std::optional<DaysFile> daysFromJson(const QByteArray& json, QString* error,
                                     const QDateTime& importTime) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return refuse(error, QStringLiteral("The file is not JSON: %1 at byte %2.")
                                 .arg(parseError.errorString())
                                 .arg(parseError.offset));
    if (!document.isObject())
        return refuse(error, QStringLiteral("The file is not in the tourwise-days form: it holds "
                                            "no object."));
    const QJsonObject top = document.object();
    for (auto it = top.begin(); it != top.end(); ++it)
        if (!TopKeys.contains(it.key()))
            return refuse(error, QStringLiteral("The file has a field %1 that Tourwise does "
                                                "not know.")
                                     .arg(shown(it.key())));
    if (top.value(QStringLiteral("format")) != QJsonValue(FormatName))
        return refuse(error, QStringLiteral("The file is not in the tourwise-days form: its "
                                            "\"format\" is not \"tourwise-days\"."));
    const QJsonValue version = top.value(QStringLiteral("version"));
    if (version != QJsonValue(1) && version != QJsonValue(2) && version != QJsonValue(3))
        return refuse(error, QStringLiteral("The file is not version 1, 2 or 3 of the "
                                            "tourwise-days form, the ones this Tourwise reads."));
    if (!top.value(QStringLiteral("entries")).isArray())
        return refuse(error, QStringLiteral("The file has no list of \"entries\"."));
    DaysFile file;
    if (top.contains(QStringLiteral("assignmentHistory"))) {
        if (version == QJsonValue(1))
            return refuse(error, QStringLiteral("The file has an \"assignmentHistory\", which "
                                                "version 1 of the form does not."));
        file.assignmentHistory = readHistory(top.value(QStringLiteral("assignmentHistory")), error);
        if (!file.assignmentHistory)
            return std::nullopt;
    }
    if (top.contains(QStringLiteral("banks"))) {
        if (version != QJsonValue(3))
            return refuse(error, QStringLiteral("The file has \"banks\", which only version 3 of "
                                                "the form has."));
        const std::optional<QList<BankSetupInput>> banks =
            readBanks(top.value(QStringLiteral("banks")), error);
        if (!banks)
            return std::nullopt;
        file.banks = *banks;
    }

    const QJsonArray array = top.value(QStringLiteral("entries")).toArray();
    QList<DayEntry>& entries = file.entries;
    entries.reserve(array.size());
    QHash<QUuid, qsizetype> places;
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonValue value = array.at(i);
        const QString name = QStringLiteral("Entry %1").arg(i + 1);
        if (!value.isObject())
            return refuse(error, name + QStringLiteral(" is not an object."));
        const QJsonObject object = value.toObject();
        const QJsonValue idValue = object.value(QStringLiteral("id"));
        const QString named = idValue.isString() && !idValue.toString().isEmpty()
                                  ? QStringLiteral("%1 (%2)").arg(name, idName(idValue.toString()))
                                  : name;
        EntryReader reader(object, importTime);
        const std::optional<DayEntry> entry = reader.read();
        if (!entry)
            return refuse(error, named + QStringLiteral(": ") + reader.problem() + u'.');
        if (const auto seen = places.constFind(entry->id); seen != places.constEnd())
            return refuse(
                error, named + QStringLiteral(": the id is that of entry %1 too.").arg(*seen + 1));
        places.insert(entry->id, i);
        entries.append(*entry);
    }
    return file;
}
