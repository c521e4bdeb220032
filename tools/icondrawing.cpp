#include "icondrawing.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Every coordinate is on a 256 x 256 grid, as in the SVG source.
constexpr double grid = 256;

const QColor pageInk(0x45, 0x5a, 0x64);
const QColor headerRed(0xc6, 0x28, 0x28);
const QColor ringGrey(0x37, 0x47, 0x4f);
const QColor crewA(0xe5, 0x39, 0x35);
const QColor crewB(0x1e, 0x5b, 0xd8);

void drawPage(QPainter& painter) {
    const QRectF page(20, 36, 216, 200);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(page, 22, 22);

    QPainterPath rounded;
    rounded.addRoundedRect(page, 22, 22);
    QPainterPath band;
    band.addRect(QRectF(20, 36, 216, 56));
    painter.setBrush(headerRed);
    painter.drawPath(rounded.intersected(band));

    painter.setPen(QPen(pageInk, 6));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(page, 22, 22);

    painter.setPen(Qt::NoPen);
    painter.setBrush(ringGrey);
    painter.drawRoundedRect(QRectF(67, 18, 18, 40), 9, 9);
    painter.drawRoundedRect(QRectF(171, 18, 18, 40), 9, 9);
}

void drawCrewDays(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(crewA);
    painter.drawRoundedRect(QRectF(36, 108, 88, 112), 10, 10);
    painter.setBrush(crewB);
    painter.drawRoundedRect(QRectF(132, 108, 88, 112), 10, 10);

    QPen letter(Qt::white, 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(letter);
    painter.setBrush(Qt::NoBrush);

    QPainterPath a;
    a.moveTo(54, 202);
    a.lineTo(80, 126);
    a.lineTo(106, 202);
    a.moveTo(63, 176);
    a.lineTo(97, 176);
    painter.drawPath(a);

    QPainterPath b;
    b.moveTo(158, 126);
    b.lineTo(158, 202);
    b.lineTo(182, 202);
    b.cubicTo(196, 202, 204, 194, 204, 182);
    b.cubicTo(204, 170, 196, 162, 182, 162);
    b.lineTo(158, 162);
    b.moveTo(158, 162);
    b.lineTo(178, 162);
    b.cubicTo(190, 162, 198, 155, 198, 144);
    b.cubicTo(198, 133, 190, 126, 178, 126);
    b.lineTo(158, 126);
    painter.drawPath(b);
}

} // namespace

QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / grid, size / grid);
    drawPage(painter);
    drawCrewDays(painter);
    return image;
}
