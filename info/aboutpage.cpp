#include "info/aboutpage.h"

#include "colors/contrast.h"
#include "platform/urlopener.h"
#include "tourwise_version.h"
#include "ui/buttons.h"
#include "ui/rectangle.h"
#include "ui/textview.h"

#include <QStringList>

namespace {

// The vendor's web host and support address: the About text, both captions and both link targets
// are built from these two and nothing else.
const QString vendorHost = QStringLiteral("www.kestrand.example");
const QString supportAddress = QStringLiteral("support@kestrand.example");

// The About label shows a carriage return as a line break; a line feed would not be one.
constexpr QChar lineSeparator = QChar(13);

} // namespace

QString AboutText() {
    const QLatin1StringView name(ProductName);
    const QStringList lines = {
        QStringLiteral("%1 for Corvane Fire v%2").arg(name, QLatin1StringView(ProductVersion)),
        QString(),
        QStringLiteral("\u00A9 2016\u20132026 Kestrand"),
        QString(),
        QStringLiteral("To change Pay Period Start Date,"),
        QStringLiteral("double-click on background of Settings tab"),
        QString(),
        QStringLiteral("%1 is a registered trademark of Kestrand.").arg(name),
        QStringLiteral("All rights reserved."),
        vendorHost,
    };
    return lines.join(lineSeparator);
}

QString IssuesLinkCaption() {
    return vendorHost + QStringLiteral("/issues.htm");
}

QString MailLinkCaption() {
    return QStringLiteral("email: ") + supportAddress;
}

QUrl IssuesPageUrl() {
    // The caption names "/issues.htm", but the page for this desktop is "/win-issues.htm".
    return QUrl(QStringLiteral("https://") + vendorHost + QStringLiteral("/win-issues.htm"));
}

QUrl SupportMailUrl() {
    // Built from its encoded form so that the space of the subject stays "%20" (a mail program
    // would show a "+" literally).
    const QString encoded =
        QStringLiteral("mailto:") + supportAddress + QStringLiteral("?subject=Support%20Request");
    return QUrl::fromEncoded(encoded.toUtf8(), QUrl::StrictMode);
}

void StyleAboutPage(const AboutControls& controls) {
    const TAlphaColor fill = controls.page->fill();
    controls.text->setTextColor(ContrastColor(fill));
    const TAlphaColor link = LinkColorFor(fill);
    controls.issuesLink->setTextColor(link);
    controls.mailLink->setTextColor(link);
}

void OpenIssuesPage() {
    openAddress(IssuesPageUrl());
}

void OpenSupportMail() {
    openAddress(SupportMailUrl());
}
