#include "ui/pickers.h"

#include "colors/contrast.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

QIcon swatch(TAlphaColor color) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (color != Colors::Null) {
        painter.fillRect(QRect(1, 1, 14, 14), QColor::fromRgba(color));
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawRect(QRect(1, 1, 13, 13));
    }
    return QIcon(pixmap);
}

} // namespace

DateEdit::DateEdit(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
    calendarWidget()->setFirstDayOfWeek(Qt::Sunday);
    calendarWidget()->window()->installEventFilter(this);
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
    QPalette p = palette();
    p.setColor(QPalette::Text, QColor::fromRgba(color));
    setPalette(p);
}

void DateEdit::openPicker() {
    // The calendar opens on a press on the drop-down arrow at the editor's right end.
    const QPoint arrow(width() - 6, height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, arrow, mapToGlobal(arrow), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, arrow, mapToGlobal(arrow), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &release);
}

bool DateEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == calendarWidget()->window()) {
        if (event->type() == QEvent::Show)
            emit pickerOpened();
        else if (event->type() == QEvent::Hide)
            emit pickerClosed();
    }
    return QDateEdit::eventFilter(watched, event);
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
    if (!m_filterInstalled) {
        // A drop-down closed because the application lost the focus never calls hidePopup.
        view()->window()->installEventFilter(this);
        m_filterInstalled = true;
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
    if (m_filterInstalled && watched == view()->window() && event->type() == QEvent::Hide)
        reportClosed();
    return QComboBox::eventFilter(watched, event);
}

ColorComboBox::ColorComboBox(QWidget* parent) : PopupComboBox(parent) {
    setIconSize(QSize(16, 16));
    for (const NamedColor& color : NamedColors)
        addItem(swatch(color.value),
                QString::fromLatin1(color.name.data(), static_cast<qsizetype>(color.name.size())));
    setCurrentIndex(NamedColorCount - 1);
}

TAlphaColor ColorComboBox::colorValue() const {
    return PickerValue(currentIndex());
}

void ColorComboBox::selectColor(TAlphaColor color) {
    setCurrentIndex(PickerSelection(color, currentIndex()));
}

ComboBox::ComboBox(QWidget* parent) : PopupComboBox(parent) {}

void ComboBox::setItems(const QStringList& items) {
    clear();
    addItems(items);
    for (int i = 0; i < count(); ++i)
        setItemData(i, Qt::AlignCenter, Qt::TextAlignmentRole);
}
