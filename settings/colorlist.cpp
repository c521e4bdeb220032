#include "settings/colorlist.h"

#include "colors/contrast.h"

#include <QImage>
#include <QStandardItemModel>

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

// An item of the colour list, its swatch drawn when first asked for: most of the 148 are never
// shown, and the list is made at start-up.
class SwatchItem : public QStandardItem {
public:
    SwatchItem(TAlphaColor color, const QString& name) : QStandardItem(name), m_color(color) {}
    QVariant data(int role) const override {
        if (role != Qt::DecorationRole)
            return QStandardItem::data(role);
        if (m_swatch.isNull())
            m_swatch = swatch(m_color);
        return m_swatch;
    }

private:
    TAlphaColor m_color;
    mutable QIcon m_swatch;
};

} // namespace

ColorComboBox::ColorComboBox(QWidget* parent) : PopupComboBox(parent) {
    // Setting the icon size builds the drop-down's view; where the style's small icons have the
    // swatches' size already, the view gets it when it first opens.
    if (iconSize() != SwatchSize)
        setIconSize(SwatchSize);
    QList<QStandardItem*> items;
    for (const NamedColor& color : NamedColors)
        items.append(
            new SwatchItem(color.value, QString::fromLatin1(color.name.data(), color.name.size())));
    // One insertion, not 148.
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
