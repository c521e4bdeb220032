// Editors that open a picker or a drop-down and report its opening and closing: the date editor
// with its calendar, the drop-down lists and the plain combo box.
#pragma once

#include "colors/namedcolors.h"
#include "core/dateserial.h"
#include "ui/tagged.h"

#include <QComboBox>
#include <QDateEdit>

class DateEdit : public QDateEdit, public Tagged {
    Q_OBJECT

public:
    explicit DateEdit(QWidget* parent = nullptr);

    DateSerial serial() const;
    void setSerial(DateSerial date);
    void setTextColor(TAlphaColor color);
    TAlphaColor textColor() const { return m_textColor; }

    // The picker's calendar, Sunday first and watched for opening and closing. It is built on
    // first use, as most sessions never open it; a press on the editor builds it this way too.
    QCalendarWidget* preparedCalendar();

signals:
    void pickerOpened();
    void pickerClosed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Sets up the drop-down before it first opens, rather than at start-up.
    virtual void prepareDropDown() {}
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TAlphaColor m_textColor = Colors::Black;
    QWidget* m_picker = nullptr; // the calendar's popup window, once built
};

// A combo box that reports its drop-down opening and closing exactly once each, however it closes
// (a choice, Escape, a click outside, the application losing the focus). The closing is reported
// once the chosen item is current.
class PopupComboBox : public QComboBox, public Tagged {
    Q_OBJECT

public:
    explicit PopupComboBox(QWidget* parent = nullptr);
    void showPopup() override;
    void hidePopup() override;
    bool isPopupOpen() const { return m_open; }
    // Whether the user chose an item while the drop-down was last open.
    bool itemChosen() const { return m_chosen; }

signals:
    void popupOpened();
    void popupClosed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Sets up the drop-down before it first opens, rather than at start-up.
    virtual void prepareDropDown() {}

private:
    void reportClosed();
    bool m_open = false;
    bool m_chosen = false;
    bool m_dropDownPrepared = false;
};

// A fixed list of texts shown centred.
class ComboBox : public PopupComboBox {
    Q_OBJECT

public:
    explicit ComboBox(QWidget* parent = nullptr);
    void setItems(const QStringList& items);

protected:
    void prepareDropDown() override;
};
