#include "platform/windowicon.h"

#include <QIconEngine>

namespace {

// The window icon, its pictures decoded only when the desktop first asks for one. An offscreen or
// Wayland window never does; decoding them all up front delayed the first paint.
class WindowIconEngine : public QIconEngine {
public:
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(32, 32), QSize(64, 64), QSize(256, 256)};
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
    QIconEngine* clone() const override { return new WindowIconEngine; }
    QString key() const override { return QStringLiteral("WindowIconEngine"); }

private:
    QIcon& loaded() {
        if (m_icon.isNull())
            for (const QSize& size : availableSizes(QIcon::Normal, QIcon::Off))
                m_icon.addFile(QStringLiteral(":/assets/icons/tourwise-%1.png").arg(size.width()));
        return m_icon;
    }

    QIcon m_icon;
};

} // namespace

QIcon windowIcon() {
    return QIcon(new WindowIconEngine);
}
