#include "ui/imageview.h"

#include <QImageReader>
#include <QPainter>

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ImageView::setSources(const QStringList& files) {
    m_sources = files;
    m_icon = QIcon();
    m_loaded = false;
    m_naturalSize.reset();
    update();
}

void ImageView::setOpacity(double opacity) {
    m_opacity = opacity;
    update();
}

QSize ImageView::naturalSize() const {
    // Read from the files' headers once: every paint asks for it.
    if (m_naturalSize)
        return *m_naturalSize;
    // The smallest picture gives the size at scale 1; larger ones serve denser screens.
    QSize smallest;
    for (const QString& file : m_sources) {
        const QSize size = QImageReader(file).size();
        if (size.isValid() && (!smallest.isValid() || size.width() < smallest.width()))
            smallest = size;
    }
    m_naturalSize = smallest;
    return smallest;
}

QRect ImageView::pictureRect() const {
    const QSize natural = naturalSize();
    if (!natural.isValid() || natural.isEmpty())
        return QRect();
    const QSize fitted = natural.scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

void ImageView::paintEvent(QPaintEvent*) {
    if (m_sources.isEmpty())
        return;
    if (!m_loaded) {
        for (const QString& file : m_sources)
            m_icon.addFile(file);
        m_loaded = true;
    }
    const QRect target = pictureRect();
    if (target.isEmpty())
        return;
    QPainter painter(this);
    painter.setOpacity(m_opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap pixmap = m_icon.pixmap(target.size(), devicePixelRatioF());
    painter.drawPixmap(target, pixmap);
}
