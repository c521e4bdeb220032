// The WebDAV and CalDAV XML that Tourwise sends (RFC 4918, RFC 4791) and the multistatus replies
// it reads. A reply with a DTD, another root or broken XML is not one: the reader says why, in
// words to put in a sentence.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// What Tourwise asks for in a PROPFIND.
QByteArray DiscoveryPropfindBody(); // resourcetype, displayname, principal, home, components
QByteArray ListingPropfindBody();   // resourcetype, getetag
QByteArray MkcalendarBody(const QString& displayName);

// One <response> of a multistatus: the properties found (status 2xx) in it.
struct DavResource {
    QUrl url;       // its href, resolved against the address asked
    int status = 0; // of the response itself when it has one, else of its found properties
    QByteArray etag;
    QString displayName;
    bool collection = false;
    bool calendar = false;
    // From supported-calendar-component-set: none when the server did not say.
    std::optional<bool> holdsEvents;
    QUrl principal;    // current-user-principal
    QUrl calendarHome; // the first href of calendar-home-set
};

// The responses of a 207 body, or none with `problem` set ("it is not XML: …").
std::optional<QList<DavResource>> ParseMultistatus(const QByteArray& body, const QUrl& asked,
                                                   QString* problem);
