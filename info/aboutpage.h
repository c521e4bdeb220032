// The About page: its text, its colours on every refresh and the two links.
#pragma once

#include <QString>
#include <QUrl>

class Label;
class PushButton;
class Rectangle;

struct AboutControls {
    Rectangle* page = nullptr;        // rectAbout
    Label* text = nullptr;            // lblAbout
    PushButton* issuesLink = nullptr; // sbHelp1
    PushButton* mailLink = nullptr;   // sbHelp2
};

// The ten lines of the About text, joined by single carriage returns.
QString AboutText();

QString IssuesLinkCaption(); // the site's address and "/issues.htm"
QString MailLinkCaption();   // "email: " and the support address
QUrl IssuesPageUrl();        // the site's "/win-issues.htm"
QUrl SupportMailUrl();       // mailto: with the subject "Support Request"

// Text and link colours that read on the page's current fill.
void StyleAboutPage(const AboutControls& controls);

// The link handlers: hand the address to the desktop's default handler. Nothing is reported when
// there is none.
void OpenIssuesPage();
void OpenSupportMail();
