#include "ui/pickers.h"

#include "ui/textcolor.h"

#include "colors/contrast.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QIconEngine>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStyledItemDelegate>

namespace {

constexpr QSize SwatchSize(16, 16);

QIcon swatch(TAlphaColor color) {
    // Set pixel by pixel: a painter for each of the 148 swatches cost more than the whole list.
    // A grey 1-pixel frame around the colour, inset by one transparent pixel.
    QImage image(SwatchSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (color != Colors::Null) {
        constexpr QRgb Frame = 0xFF808080;
        for (int y = 1; y <= 14; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 1; x <= 14; ++x)
                line[x] = (x == 1 || x == 14 || y == 1 || y == 14) ? Frame : color;
        }
    }
    return QIcon(QPixmap::fromImage(image));
}

// A swatch is drawn when the list first shows it, not when the list is made: most of the 148
// never are, and the list is made at start-up.
class SwatchIconEngine : public QIconEngine {
public:
    explicit SwatchIconEngine(TAlphaColor color) : m_color(color) {}

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return drawn().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return drawn().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return drawn().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return drawn().pixmap(size, scale, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        drawn().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QIconEngine* clone() const override { return new SwatchIconEngine(m_color); }
    QString key() const override { return QStringLiteral("SwatchIconEngine"); }

private:
    const QIcon& drawn() {
        if (m_icon.isNull())
            m_icon = swatch(m_color);
        return m_icon;
    }

    TAlphaColor m_color;
    QIcon m_icon;
};

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

ColorComboBox::ColorComboBox(QWidget* parent) : PopupComboBox(parent) {
    // Setting the icon size builds the drop-down's view; where the style's small icons have the
    // swatches' size already, the view gets it when it first opens.
    if (iconSize() != SwatchSize)
        setIconSize(SwatchSize);
    // The items that addItem would make, handed to the list in one insertion.
    QList<QStandardItem*> items;
    items.reserve(NamedColorCount);
    for (const NamedColor& color : NamedColors)
        items.append(new QStandardItem(
            QIcon(new SwatchIconEngine(color.value)),
            QString::fromLatin1(color.name.data(), static_cast<qsizetype>(color.name.size()))));
    static_cast<QStandardItemModel*>(model())->invisibleRootItem()->appendRows(items);
    setCurrentIndex(NamedColorCount - 1);
}

void ColorComboBox::prepareDropDown() {
    setIconSize(SwatchSize);
}

TAlphaColor ColorComboBox::colorValue() const {
    return PickerValue(currentIndex());
}

void ColorComboBox::selectColor(TAlphaColor color) {
    setCurrentIndex(PickerSelection(color, currentIndex()));
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
