#include "export/davxml.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

const QString Dav = QStringLiteral("DAV:");
const QString CalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");

QByteArray propfind(const QList<QPair<QString, QString>>& properties) {
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeNamespace(Dav, QStringLiteral("D"));
    xml.writeNamespace(CalDav, QStringLiteral("C"));
    xml.writeStartElement(Dav, QStringLiteral("propfind"));
    xml.writeStartElement(Dav, QStringLiteral("prop"));
    for (const auto& [space, name] : properties)
        xml.writeEmptyElement(space, name);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return body;
}

// "HTTP/1.1 200 OK" -> 200; 0 when it is not a status line.
int statusOfLine(const QString& line) {
    const QStringList parts = line.simplified().split(u' ');
    return parts.size() >= 2 ? parts.at(1).toInt() : 0;
}

struct Parser {
    QXmlStreamReader xml;
    QUrl asked;

    bool is(const QString& space, const char* name) const {
        return xml.namespaceUri() == space && xml.name() == QLatin1StringView(name);
    }

    // The first <href> inside the current element, resolved; the element is read to its end.
    QUrl hrefInside() {
        QUrl found;
        while (xml.readNextStartElement()) {
            if (is(Dav, "href") && found.isEmpty())
                found = asked.resolved(QUrl(xml.readElementText().trimmed()));
            else
                xml.skipCurrentElement();
        }
        return found;
    }

    void readProp(DavResource& into) {
        while (xml.readNextStartElement()) {
            if (is(Dav, "resourcetype")) {
                while (xml.readNextStartElement()) {
                    into.collection = into.collection || is(Dav, "collection");
                    into.calendar = into.calendar || is(CalDav, "calendar");
                    xml.skipCurrentElement();
                }
            } else if (is(Dav, "getetag")) {
                into.etag = xml.readElementText().trimmed().toUtf8();
            } else if (is(Dav, "displayname")) {
                into.displayName = xml.readElementText().trimmed();
            } else if (is(Dav, "current-user-principal")) {
                into.principal = hrefInside();
            } else if (is(CalDav, "calendar-home-set")) {
                into.calendarHome = hrefInside();
            } else if (is(CalDav, "supported-calendar-component-set")) {
                bool events = false;
                while (xml.readNextStartElement()) {
                    if (is(CalDav, "comp") && xml.attributes().value(QStringLiteral("name")) ==
                                                  QLatin1StringView("VEVENT"))
                        events = true;
                    xml.skipCurrentElement();
                }
                into.holdsEvents = events;
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    void readPropstat(DavResource& into) {
        DavResource found;
        int status = 0;
        while (xml.readNextStartElement()) {
            if (is(Dav, "prop"))
                readProp(found);
            else if (is(Dav, "status"))
                status = statusOfLine(xml.readElementText());
            else
                xml.skipCurrentElement();
        }
        if (status < 200 || status >= 300)
            return; // properties the server does not have come back with 404
        if (into.status == 0)
            into.status = status;
        into.etag = found.etag.isEmpty() ? into.etag : found.etag;
        into.displayName = found.displayName.isEmpty() ? into.displayName : found.displayName;
        into.collection = into.collection || found.collection;
        into.calendar = into.calendar || found.calendar;
        if (found.holdsEvents)
            into.holdsEvents = found.holdsEvents;
        if (!found.principal.isEmpty())
            into.principal = found.principal;
        if (!found.calendarHome.isEmpty())
            into.calendarHome = found.calendarHome;
    }

    DavResource readResponse() {
        DavResource resource;
        int ownStatus = 0;
        while (xml.readNextStartElement()) {
            if (is(Dav, "href") && resource.url.isEmpty())
                resource.url = asked.resolved(QUrl(xml.readElementText().trimmed()));
            else if (is(Dav, "propstat"))
                readPropstat(resource);
            else if (is(Dav, "status"))
                ownStatus = statusOfLine(xml.readElementText());
            else
                xml.skipCurrentElement();
        }
        if (ownStatus != 0)
            resource.status = ownStatus;
        return resource;
    }
};

} // namespace

QByteArray DiscoveryPropfindBody() {
    return propfind({{Dav, QStringLiteral("resourcetype")},
                     {Dav, QStringLiteral("displayname")},
                     {Dav, QStringLiteral("current-user-principal")},
                     {CalDav, QStringLiteral("calendar-home-set")},
                     {CalDav, QStringLiteral("supported-calendar-component-set")}});
}

QByteArray ListingPropfindBody() {
    return propfind({{Dav, QStringLiteral("resourcetype")}, {Dav, QStringLiteral("getetag")}});
}

QByteArray MkcalendarBody(const QString& displayName) {
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeNamespace(Dav, QStringLiteral("D"));
    xml.writeNamespace(CalDav, QStringLiteral("C"));
    xml.writeStartElement(CalDav, QStringLiteral("mkcalendar"));
    xml.writeStartElement(Dav, QStringLiteral("set"));
    xml.writeStartElement(Dav, QStringLiteral("prop"));
    xml.writeTextElement(Dav, QStringLiteral("displayname"), displayName);
    xml.writeStartElement(CalDav, QStringLiteral("supported-calendar-component-set"));
    xml.writeEmptyElement(CalDav, QStringLiteral("comp"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VEVENT"));
    xml.writeEndDocument(); // closes every element still open
    return body;
}

std::optional<QList<DavResource>> ParseMultistatus(const QByteArray& body, const QUrl& asked,
                                                   QString* problem) {
    Parser parser{QXmlStreamReader(body), asked};
    QXmlStreamReader& xml = parser.xml;
    QList<DavResource> resources;
    const auto fail = [&](const QString& why) -> std::optional<QList<DavResource>> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    // A DTD could declare entities that grow without end; no calendar server sends one.
    while (!xml.atEnd() && !xml.isStartElement()) {
        xml.readNext();
        if (xml.isDTD())
            return fail(QStringLiteral("it declares a DTD"));
    }
    if (xml.hasError() || !xml.isStartElement())
        return fail(body.trimmed().isEmpty()
                        ? QStringLiteral("it is empty")
                        : QStringLiteral("it is not XML (%1)").arg(xml.errorString()));
    if (!parser.is(Dav, "multistatus"))
        return fail(QStringLiteral("it is <%1>, not a WebDAV multistatus")
                        .arg(xml.qualifiedName().toString()));
    while (xml.readNextStartElement()) {
        if (parser.is(Dav, "response"))
            resources.append(parser.readResponse());
        else
            xml.skipCurrentElement();
    }
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext();
    if (xml.hasError())
        return fail(QStringLiteral("its XML is broken at line %1 (%2)")
                        .arg(xml.lineNumber())
                        .arg(xml.errorString()));
    return resources;
}
