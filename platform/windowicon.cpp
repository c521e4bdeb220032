#include "platform/windowicon.h"

#include "tourwise_window_icon_pixels.h"

#include <QIconEngine>
#include <QImage>
#include <QPixmap>

namespace {

// The window icon, its pictures made only when the desktop first asks for one. An offscreen or
// Wayland window never does. An X window hands over every picture it gets as soon as it gets the
// icon, so they are compiled in as pixel values: decoding PNGs there delayed the window.
class WindowIconEngine : public QIconEngine {
public:
    explicit WindowIconEngine(int largest) : m_largest(largest) {}

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const EmbeddedIcon& picture : WindowIconPictures)
            if (picture.size <= m_largest)
                sizes.append(QSize(picture.size, picture.size));
        return sizes;
    }
    bool isNull() override { return false; }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return loaded().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return loaded().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return loaded().pixmap(size, scale, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        loaded().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QIconEngine* clone() const override { return new WindowIconEngine(m_largest); }
    QString key() const override { return QStringLiteral("WindowIconEngine"); }

private:
    QIcon& loaded() {
        if (m_icon.isNull())
            for (const EmbeddedIcon& picture : WindowIconPictures) {
                if (picture.size > m_largest)
                    continue;
                // The values as the PNG reader gives them; the image only borrows them.
                const QImage image(reinterpret_cast<const uchar*>(picture.argb), picture.size,
                                   picture.size, picture.size * 4, QImage::Format_ARGB32);
                m_icon.addPixmap(QPixmap::fromImage(image));
            }
        return m_icon;
    }

    int m_largest;
    QIcon m_icon;
};

} // namespace

QIcon windowIcon(int largest) {
    return QIcon(new WindowIconEngine(largest));
}
