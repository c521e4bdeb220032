#include "dialogs/publishdialog.h"

#include "dialogs/publishing.h"
#include "export/caldavclient.h"
#include "export/davaddress.h"
#include "platform/keyring.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Marks the list's entry that makes a new calendar.
constexpr int NewCalendarRole = Qt::UserRole + 1;

const QString KeptInKeyring = QStringLiteral("Kept in the keyring");
const QString NewCalendarText =
    QStringLiteral("New calendar: %1").arg(QLatin1StringView(TourwiseCalendarName));

// A server given without a scheme is taken as https://, never as plain http://.
QUrl addressFrom(const QString& typed) {
    const QString text = typed.trimmed();
    return QUrl::fromUserInput(
        text.contains(QLatin1StringView("://")) ? text : QStringLiteral("https://") + text);
}

QString calendarText(const CalDavCalendar& calendar) {
    const QString path = calendar.url.path();
    return calendar.displayName.isEmpty()
               ? path
               : QStringLiteral("%1 (%2)").arg(calendar.displayName, path);
}

QCheckBox* checkBox(const QString& name, const QString& text, bool checked, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

QLabel* wrappingLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

PublishDialog::PublishDialog(EntryStore& store, Publishing& publishing,
                             const PublishDefaults& defaults, const QLocale& locale,
                             QWidget* parent)
    : QDialog(parent), m_store(store), m_publishing(publishing), m_locale(locale),
      m_kept(store.publishChoices()) {
    setObjectName(QStringLiteral("dlgPublish"));
    setWindowTitle(QStringLiteral("Publish to a calendar server"));
    const PublishChoices start = m_kept.value_or(
        PublishChoices{{}, {}, {}, false, defaults.paydays, defaults.payPeriodStarts, false});

    m_server = new QLineEdit(start.server, this);
    m_server->setObjectName(QStringLiteral("edServer"));
    m_server->setPlaceholderText(QStringLiteral("https://calendar.example.org/"));
    m_server->setToolTip(QStringLiteral("The calendar server's address, or a calendar's own"));
    m_user = new QLineEdit(start.user, this);
    m_user->setObjectName(QStringLiteral("edUser"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("edPassword"));
    m_password->setEchoMode(QLineEdit::Password);

    m_calendar = new QComboBox(this);
    m_calendar->setObjectName(QStringLiteral("cbCalendar"));
    m_calendar->setPlaceholderText(QStringLiteral("Find the server's calendars"));
    m_calendar->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_calendar->setMinimumContentsLength(36); // a name and its path, as "Tourwise duty (/…/)"
    if (!start.calendar.isEmpty()) {
        const QUrl kept(start.calendar);
        m_calendar->addItem(kept.path(), kept);
        m_calendar->setItemData(0, ShownAddress(kept), Qt::ToolTipRole);
        m_calendar->setCurrentIndex(0);
    }
    m_find = new QPushButton(QStringLiteral("&Find calendars"), this);
    m_find->setObjectName(QStringLiteral("bFindCalendars"));
    m_message = wrappingLabel(QStringLiteral("lblPublishMessage"), this);

    m_timedShifts = checkBox(QStringLiteral("chkTimedShifts"),
                             QStringLiteral("&Duty days from shift start to shift start"),
                             start.timedShifts, this);
    m_timedShifts->setToolTip(QStringLiteral(
        "Timed events from the shift start to the next day's shift start, so the morning after "
        "also shows as duty"));
    m_paydays =
        checkBox(QStringLiteral("chkPaydays"), QStringLiteral("Pa&ydays"), start.paydays, this);
    m_payPeriodStarts = checkBox(QStringLiteral("chkPayPeriods"),
                                 QStringLiteral("Pay-pe&riod starts"), start.payPeriodStarts, this);
    m_keepUpToDate = checkBox(QStringLiteral("chkKeepUpToDate"),
                              QStringLiteral("&Keep it up to date"), start.keepUpToDate, this);
    m_keepUpToDate->setToolTip(
        QStringLiteral("Publish again after every change of my days and every Save"));
    m_state = wrappingLabel(QStringLiteral("lblPublishState"), this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_publish = buttons->addButton(QStringLiteral("&Publish"), QDialogButtonBox::AcceptRole);
    m_publish->setObjectName(QStringLiteral("bPublish"));
    m_publish->setDefault(true); // Return publishes from every field

    auto* calendarRow = new QHBoxLayout;
    calendarRow->addWidget(m_calendar, 1);
    calendarRow->addWidget(m_find);
    auto* form = new QFormLayout;
    const auto addRow = [form](const QString& text, QWidget* field, QLayout* row = nullptr) {
        auto* label = new QLabel(text);
        label->setBuddy(field);
        if (row)
            form->addRow(label, row);
        else
            form->addRow(label, field);
    };
    addRow(QStringLiteral("&Server"), m_server);
    addRow(QStringLiteral("&User"), m_user);
    addRow(QStringLiteral("Pass&word"), m_password);
    addRow(QStringLiteral("Ca&lendar"), m_calendar, calendarRow);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    // Below the form, not in it: a form row does not grow with the lines of a wrapped label.
    layout->addWidget(m_message);
    m_message->hide(); // no blank line until there is something to say
    for (QCheckBox* box : {m_timedShifts, m_paydays, m_payPeriodStarts, m_keepUpToDate})
        layout->addWidget(box);
    layout->addStretch(); // room left by a message gone, kept out of the rows
    layout->addWidget(m_state);
    layout->addWidget(buttons);
    // Wide enough for a sentence of failure in a few lines; taller as a sentence wraps, since a
    // wrapped label does not make its window grow by itself.
    setMinimumWidth(fontMetrics().averageCharWidth() * 72);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_publish, &QPushButton::clicked, this, &PublishDialog::publish);
    connect(m_find, &QPushButton::clicked, this, &PublishDialog::findCalendars);
    connect(m_server, &QLineEdit::textEdited, this, &PublishDialog::forgetCalendars);
    connect(m_user, &QLineEdit::textEdited, this, &PublishDialog::forgetCalendars);
    connect(m_keepUpToDate, &QCheckBox::toggled, this, &PublishDialog::keepUpToDateToggled);
    connect(&m_publishing, &Publishing::stateChanged, this, &PublishDialog::showState);
    showState();
    lookForKeptPassword();
    // The first field still to fill.
    QLineEdit* first = m_server->text().isEmpty() ? m_server
                       : m_user->text().isEmpty() ? m_user
                                                  : m_password;
    first->setFocus();
}

PublishDialog::~PublishDialog() = default;

void PublishDialog::lookForKeptPassword() {
    if (!m_kept || m_kept->user.isEmpty())
        return;
    KeyringRequest* request = Keyring::readPassword(QUrl(m_kept->server), m_kept->user, this);
    connect(request, &KeyringRequest::finished, this, [this](const KeyringResult& answer) {
        // Only that one is there; the password itself stays where it is.
        if (answer.ok && m_password->text().isEmpty())
            m_password->setPlaceholderText(KeptInKeyring);
    });
}

void PublishDialog::forgetCalendars() {
    // The list, the new calendar's home and the keyring's entry were those of the account before.
    m_calendar->clear();
    m_calendarHome = QUrl();
    m_password->setPlaceholderText(QString());
}

void PublishDialog::showMessage(const QString& text) {
    m_message->setText(text);
    m_message->setVisible(!text.isEmpty());
}

void PublishDialog::done(const QString& message) {
    m_busy = false;
    showMessage(message);
}

void PublishDialog::showState() {
    m_state->setText(PublishingStateText(m_publishing.state(), m_locale));
    m_state->setToolTip(m_publishing.state().summary);
}

void PublishDialog::withAccount(bool keep, const std::function<void(const Account&)>& then) {
    Account account;
    account.server = addressFrom(m_server->text());
    account.user = m_user->text().trimmed();
    if (m_server->text().trimmed().isEmpty())
        return done(QStringLiteral("Give the address of the calendar server."));
    if (!account.server.isValid() || account.server.host().isEmpty())
        return done(QStringLiteral("\u201c%1\u201d is not the address of a calendar server.")
                        .arg(m_server->text().trimmed()));
    if (const QString refused = RefusedAddress(account.server); !refused.isEmpty())
        return done(refused);
    if (account.user.isEmpty())
        return done(QStringLiteral("Give your user name on the calendar server."));

    const QString typed = m_password->text();
    if (!typed.isEmpty()) {
        account.password = typed;
        if (!keep)
            return then(account);
        // A mistyped password must not replace the one that works: the server tries it first.
        return discover(account, [this, account, then](const CalDavDiscovery& found) {
            if (!found.ok())
                return done(found.error);
            keepPassword(account, then);
        });
    }
    KeyringRequest* request = Keyring::readPassword(account.server, account.user, this);
    connect(request, &KeyringRequest::finished, this,
            [this, account, then](const KeyringResult& answer) mutable {
                if (!answer.ok) {
                    done(answer.notFound
                             ? QStringLiteral("The keyring holds no password of %1 on %2: type "
                                              "it under Password.")
                                   .arg(account.user, ShownHost(account.server))
                             : answer.error);
                    return;
                }
                account.password = answer.password;
                then(account);
            });
}

void PublishDialog::keepPassword(const Account& account,
                                 const std::function<void(const Account&)>& then) {
    KeyringRequest* request =
        Keyring::writePassword(account.server, account.user, account.password, this);
    connect(request, &KeyringRequest::finished, this,
            [this, account, then](const KeyringResult& answer) {
                if (!answer.ok)
                    return done(answer.error);
                m_password->clear();
                m_password->setPlaceholderText(KeptInKeyring);
                then(account);
            });
}

void PublishDialog::replaceClient(const Account& account) {
    // The client before may be the one whose answer is running this: it goes afterwards.
    if (m_client)
        m_client->deleteLater();
    CalDavAccount davAccount;
    davAccount.user = account.user;
    davAccount.password = account.password;
    m_client = new CalDavClient(davAccount, this);
}

void PublishDialog::discover(const Account& account,
                             const std::function<void(const CalDavDiscovery&)>& done) {
    replaceClient(account);
    showMessage(
        QStringLiteral("Looking for the calendars on %1\u2026").arg(ShownHost(account.server)));
    m_client->discover(account.server, done);
}

void PublishDialog::showCalendars(const CalDavDiscovery& found) {
    m_calendar->clear();
    m_calendarHome = found.calendarHome;
    int chosen = -1;
    QList<CalDavCalendar> calendars = found.calendars;
    // By name, as a person looks for one; servers list them in any order.
    std::sort(calendars.begin(), calendars.end(),
              [](const CalDavCalendar& left, const CalDavCalendar& right) {
                  return calendarText(left).localeAwareCompare(calendarText(right)) < 0;
              });
    for (const CalDavCalendar& calendar : calendars) {
        m_calendar->addItem(calendarText(calendar), calendar.url);
        const int index = m_calendar->count() - 1;
        m_calendar->setItemData(index, ShownAddress(calendar.url), Qt::ToolTipRole);
        // The calendar published to before, else one made for Tourwise before.
        if (m_kept && SameResource(calendar.url, QUrl(m_kept->calendar)))
            chosen = index;
        else if (chosen < 0 && calendar.displayName == QLatin1StringView(TourwiseCalendarName))
            chosen = index;
    }
    if (!m_calendarHome.isEmpty()) {
        m_calendar->addItem(NewCalendarText);
        m_calendar->setItemData(m_calendar->count() - 1, true, NewCalendarRole);
        // Rather a calendar of its own than the user's own appointments.
        if (chosen < 0)
            chosen = m_calendar->count() - 1;
    }
    m_calendar->setCurrentIndex(chosen < 0 ? 0 : chosen);
}

void PublishDialog::findCalendars() {
    if (m_busy)
        return;
    m_busy = true;
    withAccount(false, [this](const Account& account) {
        discover(account, [this](const CalDavDiscovery& found) {
            if (!found.ok())
                return done(found.error);
            showCalendars(found);
            const qsizetype count = found.calendars.size();
            done(count == 0   ? QStringLiteral("No calendar there yet.")
                 : count == 1 ? QStringLiteral("1 calendar found.")
                              : QStringLiteral("%1 calendars found.").arg(count));
            m_calendar->setFocus();
        });
    });
}

void PublishDialog::resolveCalendar(const Account& account,
                                    const std::function<void(const QUrl&)>& then) {
    const int index = m_calendar->currentIndex();
    if (index < 0) {
        discover(account, [this, then](const CalDavDiscovery& found) {
            if (!found.ok())
                return done(found.error);
            showCalendars(found);
            // The address was a calendar's own: nothing to choose.
            if (found.calendarHome.isEmpty() && found.calendars.size() == 1)
                return then(found.calendars.first().url);
            done(found.calendars.isEmpty() && found.calendarHome.isEmpty()
                     ? QStringLiteral("There is no calendar to publish to there.")
                     : QStringLiteral("Choose the calendar to publish to, or a new one, and "
                                      "press Publish."));
            m_calendar->setFocus();
        });
        return;
    }
    if (!m_calendar->itemData(index, NewCalendarRole).toBool())
        return then(m_calendar->itemData(index).toUrl());
    showMessage(QStringLiteral("Making the calendar %1\u2026")
                    .arg(QLatin1StringView(TourwiseCalendarName)));
    replaceClient(account);
    m_client->createCalendar(
        m_calendarHome, QLatin1StringView(TourwiseCalendarName),
        [this, then](const CalDavDiscovery& made) {
            if (!made.ok() || made.calendars.isEmpty())
                return done(made.error);
            const CalDavCalendar& calendar = made.calendars.first();
            const int at = m_calendar->count() - 1; // before the new calendar's entry
            m_calendar->insertItem(at, calendarText(calendar), calendar.url);
            m_calendar->setItemData(at, ShownAddress(calendar.url), Qt::ToolTipRole);
            m_calendar->setCurrentIndex(at);
            then(calendar.url);
        });
}

void PublishDialog::publish() {
    if (m_busy)
        return;
    m_busy = true;
    withAccount(true, [this](const Account& account) {
        resolveCalendar(account,
                        [this, account](const QUrl& calendar) { keepChoices(account, calendar); });
    });
}

void PublishDialog::keepChoices(const Account& account, const QUrl& calendar) {
    PublishChoices choices;
    choices.server = account.server.toString();
    choices.user = account.user;
    choices.calendar = calendar.toString(QUrl::FullyEncoded);
    choices.timedShifts = m_timedShifts->isChecked();
    choices.paydays = m_paydays->isChecked();
    choices.payPeriodStarts = m_payPeriodStarts->isChecked();
    choices.keepUpToDate = m_keepUpToDate->isChecked();
    if (const StoreResult stored = m_store.setPublishChoices(choices); !stored.ok)
        return done(stored.error);
    m_kept = choices;
    done();
    m_publishing.publishNow();
}

void PublishDialog::keepUpToDateToggled(bool checked) {
    // Starting or stopping needs no publish: it holds for the calendar published to before.
    if (!m_kept)
        return;
    PublishChoices choices = *m_kept;
    choices.keepUpToDate = checked;
    if (const StoreResult stored = m_store.setPublishChoices(choices); !stored.ok) {
        showMessage(stored.error);
        return;
    }
    m_kept = choices;
    if (checked)
        m_publishing.daysChanged();
}

PublishDialog* OpenPublishDialog(QWidget* parent, EntryStore& store, Publishing& publishing,
                                 const PublishDefaults& defaults, const QLocale& locale) {
    auto* dialog = new PublishDialog(store, publishing, defaults, locale, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}
