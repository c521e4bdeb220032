// Which addresses Tourwise sends a password to, and how a calendar's address is written when
// it is remembered or shown.
#pragma once

#include <QString>
#include <QUrl>

// 127.0.0.0/8, ::1 and "localhost": plain http:// stays on this machine there.
bool IsLoopbackHost(const QString& host);

// Empty when Tourwise may send the account to `url`; else one sentence why not. Refused: no
// http(s) address, plain http:// to any host but this machine, a user name or password inside
// the address (which the sentence never repeats).
QString RefusedAddress(const QUrl& url);

// The address as shown in messages: without user name or password.
QString ShownAddress(const QUrl& url);
QString ShownHost(const QUrl& url); // "host" or "host:port"

// A collection's address ending in "/", without user information, query or fragment, the
// host in lower case: what the ledger is keyed by, so that two spellings of one calendar share
// what was published there.
QUrl CollectionUrl(const QUrl& url);
QString CalendarKey(const QUrl& url);

// Same scheme, host and port: where credentials may follow a redirect.
bool SameOrigin(const QUrl& left, const QUrl& right);

// Whether two addresses name the same resource path on the same server (percent-encoding and a
// trailing slash aside).
bool SameResource(const QUrl& left, const QUrl& right);
