// "Publish to a calendar server…": the server and the account, the calendar (one found on the
// server, a new "Tourwise duty" made there, or one given by its own address), what to publish,
// "Keep it up to date", and the state of the last publish. Nothing waits: the server and the
// keyring answer later, and the publish itself runs in Publishing, which outlives the dialog.
// The password goes to the keyring only; the other choices to the days file.
#pragma once

#include "days/entrystore.h"

#include <QDialog>
#include <QLocale>
#include <QUrl>

#include <functional>
#include <optional>

class CalDavClient;
class Publishing;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct CalDavDiscovery;

// Where the choices start when the days file holds none yet: the Calendar page's switches.
struct PublishDefaults {
    bool paydays = false;
    bool payPeriodStarts = false;
};

class PublishDialog : public QDialog {
    Q_OBJECT

public:
    PublishDialog(EntryStore& store, Publishing& publishing, const PublishDefaults& defaults,
                  const QLocale& locale, QWidget* parent = nullptr);
    ~PublishDialog() override;

private:
    struct Account {
        QUrl server;
        QString user;
        QString password;
    };

    void findCalendars();
    void publish();
    // The account as typed, with the password typed (when `keep`, tried on the server and then
    // put in the keyring) or else the keyring's; on any failure the message says why and `then`
    // never runs.
    void withAccount(bool keep, const std::function<void(const Account&)>& then);
    void keepPassword(const Account& account, const std::function<void(const Account&)>& then);
    // A client of the account now given, in place of the one before.
    void replaceClient(const Account& account);
    void discover(const Account& account, const std::function<void(const CalDavDiscovery&)>& done);
    void showCalendars(const CalDavDiscovery& found);
    // The calendar chosen, made first when it is the new one, or found from the address.
    void resolveCalendar(const Account& account, const std::function<void(const QUrl&)>& then);
    void keepChoices(const Account& account, const QUrl& calendar);
    void keepUpToDateToggled(bool checked);
    void forgetCalendars();
    void lookForKeptPassword();
    void showMessage(const QString& text);
    void done(const QString& message = {});
    void showState();

    EntryStore& m_store;
    Publishing& m_publishing;
    QLocale m_locale;
    std::optional<PublishChoices> m_kept;
    QUrl m_calendarHome; // where a new calendar goes; empty until found
    CalDavClient* m_client = nullptr;
    bool m_busy = false;

    QLineEdit* m_server = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QComboBox* m_calendar = nullptr;
    QPushButton* m_find = nullptr;
    QLabel* m_message = nullptr;
    QCheckBox* m_timedShifts = nullptr;
    QCheckBox* m_paydays = nullptr;
    QCheckBox* m_payPeriodStarts = nullptr;
    QCheckBox* m_keepUpToDate = nullptr;
    QPushButton* m_publish = nullptr;
    QLabel* m_state = nullptr;
};

// Opens the dialog over `parent` and returns at once; it deletes itself when closed.
PublishDialog* OpenPublishDialog(QWidget* parent, EntryStore& store, Publishing& publishing,
                                 const PublishDefaults& defaults, const QLocale& locale);
