#include "ui/pickers.h"

#include "ui/textcolor.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace {

// The plain item delegate keeps an item's alignment, which the Fusion drop-down (items drawn as
// menu entries) ignores; rows get the height of a menu entry, so the list is as easy to hit.
class ListItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), option.fontMetrics.height() + 10));
        return size;
    }
};

} // namespace

DateEdit::DateEdit(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
}

QCalendarWidget* DateEdit::preparedCalendar() {
    QCalendarWidget* calendar = QDateEdit::calendarWidget();
    if (!m_picker && calendar) {
        calendar->setFirstDayOfWeek(Qt::Sunday);
        m_picker = calendar->window();
        m_picker->installEventFilter(this);
    }
    return calendar;
}

DateSerial DateEdit::serial() const {
    return serialFromQDate(date());
}

void DateEdit::setSerial(DateSerial date) {
    setDate(qdateFromSerial(date));
}

void DateEdit::setTextColor(TAlphaColor color) {
    if (color == m_textColor)
        return;
    m_textColor = color;
    setPaletteTextColor(*this, color);
}

bool DateEdit::eventFilter(QObject* watched, QEvent* event) {
    if (m_picker && watched == m_picker) {
        if (event->type() == QEvent::Show)
            emit pickerOpened();
        else if (event->type() == QEvent::Hide)
            emit pickerClosed();
    }
    return QDateEdit::eventFilter(watched, event);
}

void DateEdit::mousePressEvent(QMouseEvent* event) {
    // A press on the arrow opens the calendar: build it first, so that it opens prepared.
    preparedCalendar();
    QDateEdit::mousePressEvent(event);
}

void DateEdit::keyPressEvent(QKeyEvent* event) {
    // The arrows edit the date; the month and day keys belong to the calendar's navigation.
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        event->ignore();
        return;
    default:
        QDateEdit::keyPressEvent(event);
    }
}

PopupComboBox::PopupComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this] { m_chosen = true; });
}

void PopupComboBox::showPopup() {
    if (!m_dropDownPrepared) {
        prepareDropDown();
        // A drop-down closed because the application lost the focus never calls hidePopup.
        view()->window()->installEventFilter(this);
        m_dropDownPrepared = true;
    }
    QComboBox::showPopup();
    if (!m_open && view()->isVisible()) {
        m_open = true;
        m_chosen = false;
        emit popupOpened();
    }
}

void PopupComboBox::hidePopup() {
    QComboBox::hidePopup();
    reportClosed();
}

void PopupComboBox::reportClosed() {
    if (!m_open)
        return;
    m_open = false;
    // The drop-down hides before the combo box takes the chosen item: report after it has.
    QMetaObject::invokeMethod(this, &PopupComboBox::popupClosed, Qt::QueuedConnection);
}

bool PopupComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (m_dropDownPrepared && watched == view()->window() && event->type() == QEvent::Hide)
        reportClosed();
    return QComboBox::eventFilter(watched, event);
}

ComboBox::ComboBox(QWidget* parent) : PopupComboBox(parent) {}

void ComboBox::prepareDropDown() {
    setItemDelegate(new ListItemDelegate(this));
}

void ComboBox::setItems(const QStringList& items) {
    clear();
    addItems(items);
    for (int i = 0; i < count(); ++i)
        setItemData(i, Qt::AlignCenter, Qt::TextAlignmentRole);
}
