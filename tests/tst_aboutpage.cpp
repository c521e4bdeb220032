// The About page: its text, the colours it takes from the page fill, and the two links.
#include "colors/namedcolors.h"
#include "info/aboutpage.h"
#include "platform/urlopener.h"
#include "ui/buttons.h"
#include "ui/rectangle.h"
#include "ui/textview.h"

#include <QUrlQuery>
#include <QtTest>

using LinkHandler = void (*)();
using CaptionText = QString (*)();
Q_DECLARE_METATYPE(LinkHandler)
Q_DECLARE_METATYPE(CaptionText)

class AboutPageTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void aboutTextLines();
    void aboutTextSeparators();

    void styleFollowsPageFill_data();
    void styleFollowsPageFill();

    void linkOpensAddress_data();
    void linkOpensAddress();
    void mailSubjectDecodes();
    void siteIsNamedOnceEverywhere();
};

void AboutPageTest::cleanup() {
    setAddressOpener({});
}

void AboutPageTest::aboutTextLines() {
    const QStringList lines = AboutText().split(QChar(13));
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines.at(0), QStringLiteral("Tourwise for Corvane Fire v3.0.1"));
    QCOMPARE(lines.at(4), QStringLiteral("To change Pay Period Start Date,"));
    QCOMPARE(lines.at(5), QStringLiteral("double-click on background of Settings tab"));
    QCOMPARE(lines.at(9), QStringLiteral("www.kestrand.example"));
    for (int line = 1; line <= 10; ++line) {
        const bool blank = line == 2 || line == 4 || line == 7;
        QVERIFY2(lines.at(line - 1).isEmpty() == blank, qPrintable(QString::number(line)));
        // Centred text with stray blanks at either end would sit off centre.
        QCOMPARE(lines.at(line - 1), lines.at(line - 1).trimmed());
    }
}

void AboutPageTest::aboutTextSeparators() {
    const QString text = AboutText();
    QVERIFY(!text.contains(QChar(10)));
    QVERIFY(!text.endsWith(QChar(13)));
    QVERIFY(!text.contains(QStringLiteral("\r\r\r")));
}

void AboutPageTest::styleFollowsPageFill_data() {
    QTest::addColumn<TAlphaColor>("fill");
    QTest::addColumn<TAlphaColor>("text");
    QTest::addColumn<TAlphaColor>("links");

    QTest::newRow("White: black text, blue links")
        << Colors::White << Colors::Black << Colors::Blue;
    QTest::newRow("Blue: links turn white") << Colors::Blue << Colors::White << Colors::White;
    QTest::newRow("Darkblue: links turn white")
        << Colors::Darkblue << Colors::White << Colors::White;
    QTest::newRow("Navy: dark, yet links stay blue")
        << Colors::Navy << Colors::White << Colors::Blue;
    QTest::newRow("Black: links stay blue") << Colors::Black << Colors::White << Colors::Blue;
}

void AboutPageTest::styleFollowsPageFill() {
    QFETCH(TAlphaColor, fill);
    QFETCH(TAlphaColor, text);
    QFETCH(TAlphaColor, links);

    QWidget window;
    auto* page = new Rectangle(&window);
    auto* label = new Label(page);
    auto* issues = new PushButton(page);
    auto* mail = new PushButton(page);
    // A colour that no rule gives, so a control the styling forgets shows up.
    label->setTextColor(Colors::Red);
    issues->setTextColor(Colors::Red);
    mail->setTextColor(Colors::Red);

    page->setFill(fill);
    StyleAboutPage({page, label, issues, mail});

    QCOMPARE(label->textColor(), text);
    QCOMPARE(issues->textColors(), (ButtonTextColors{links, links, links, links}));
    QCOMPARE(mail->textColors(), (ButtonTextColors{links, links, links, links}));
}

void AboutPageTest::linkOpensAddress_data() {
    QTest::addColumn<LinkHandler>("handler");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<CaptionText>("captionText");
    QTest::addColumn<QString>("caption");

    QTest::newRow("issues page: caption differs from the page opened")
        << LinkHandler(&OpenIssuesPage)
        << QStringLiteral("https://www.kestrand.example/win-issues.htm")
        << CaptionText(&IssuesLinkCaption) << QStringLiteral("www.kestrand.example/issues.htm");
    QTest::newRow("support mail")
        << LinkHandler(&OpenSupportMail)
        << QStringLiteral("mailto:support@kestrand.example?subject=Support%20Request")
        << CaptionText(&MailLinkCaption) << QStringLiteral("email: support@kestrand.example");
}

void AboutPageTest::linkOpensAddress() {
    QFETCH(LinkHandler, handler);
    QFETCH(QString, opened);
    QFETCH(CaptionText, captionText);
    QFETCH(QString, caption);

    QList<QUrl> seen;
    setAddressOpener([&seen](const QUrl& address) { seen.append(address); });
    handler();

    QCOMPARE(seen.size(), 1);
    QVERIFY(seen.first().isValid());
    QCOMPARE(seen.first().toString(QUrl::FullyEncoded), opened);
    QCOMPARE(captionText(), caption);
}

void AboutPageTest::mailSubjectDecodes() {
    // What the mail program will put in its subject line.
    const QUrl mail = SupportMailUrl();
    QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
    QCOMPARE(mail.path(), QStringLiteral("support@kestrand.example"));
    QCOMPARE(QUrlQuery(mail).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("Support Request"));
}

void AboutPageTest::siteIsNamedOnceEverywhere() {
    const QString site = AboutText().split(QChar(13)).last();
    QCOMPARE(IssuesPageUrl().host(), site);
    QVERIFY(IssuesLinkCaption().startsWith(site + QLatin1Char('/')));
    const QString mailHost = SupportMailUrl().path().section(QLatin1Char('@'), 1);
    QVERIFY2(site.endsWith(QLatin1Char('.') + mailHost), qPrintable(mailHost));
}

QTEST_MAIN(AboutPageTest)
#include "tst_aboutpage.moc"
