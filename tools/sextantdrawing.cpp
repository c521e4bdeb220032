#include "sextantdrawing.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {

constexpr QSizeF logicalSize(250, 212);

// The instrument hangs from the index mirror's pivot; every part is placed by its distance from
// the pivot and its angle from straight down (positive to the right), as a sextant is built.
constexpr QPointF pivot(125, 20);
constexpr double frameRadius = 178;
constexpr double scaleInnerRadius = 150;
constexpr double frameHalfAngle = 34;
constexpr double armAngle = 10;
constexpr double telescopeY = 80;

const QColor ink(17, 17, 17);
const QColor frameGrey(200, 200, 200);
const QColor scaleGrey(226, 226, 226);
const QColor mirrorGrey(150, 156, 162);
const QColor darkGrey(85, 85, 85);
const QColor handleGrey(110, 110, 110);

double radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

QPointF polar(double radius, double degrees) {
    return pivot +
           QPointF(radius * std::sin(radians(degrees)), radius * std::cos(radians(degrees)));
}

// Qt's arcs count degrees counter-clockwise from three o'clock; ours from straight down.
double qtAngle(double degrees) {
    return degrees - 90;
}

QRectF circleBounds(QPointF centre, double radius) {
    return {centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius};
}

QPen outline(double width = 1.2) {
    return QPen(ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A bar from `from` to `to`, `width` wide, as a closed outline.
QPolygonF bar(QPointF from, QPointF to, double widthFrom, double widthTo) {
    const QPointF along = to - from;
    const double length = std::hypot(along.x(), along.y());
    const QPointF normal(-along.y() / length, along.x() / length);
    return QPolygonF({from + normal * widthFrom / 2, to + normal * widthTo / 2,
                      to - normal * widthTo / 2, from - normal * widthFrom / 2});
}

void drawFrame(QPainter& painter) {
    QPainterPath sector;
    sector.moveTo(pivot);
    sector.arcTo(circleBounds(pivot, frameRadius), qtAngle(-frameHalfAngle), 2 * frameHalfAngle);
    sector.closeSubpath();

    // Lightening holes, as cast frames have them.
    QPainterPath holes;
    for (const double angle : {-20.0, 0.0, 20.0})
        holes.addEllipse(circleBounds(polar(110, angle), 15));
    for (const double angle : {-12.0, 12.0})
        holes.addEllipse(circleBounds(polar(60, angle), 9));

    painter.setPen(outline());
    painter.setBrush(frameGrey);
    painter.drawPath(sector.subtracted(holes));
}

void drawScale(QPainter& painter) {
    QPainterPath band;
    const QRectF outer = circleBounds(pivot, frameRadius);
    const QRectF inner = circleBounds(pivot, scaleInnerRadius);
    band.arcMoveTo(outer, qtAngle(-frameHalfAngle));
    band.arcTo(outer, qtAngle(-frameHalfAngle), 2 * frameHalfAngle);
    band.arcTo(inner, qtAngle(frameHalfAngle), -2 * frameHalfAngle);
    band.closeSubpath();
    painter.setPen(outline());
    painter.setBrush(scaleGrey);
    painter.drawPath(band);

    // The arc is read double: a sixth of a circle spans 0 ... 120 degrees of altitude.
    constexpr double zeroAngle = 30;
    painter.setPen(outline(0.6));
    for (int reading = -6; reading <= 126; reading += 2) {
        const double angle = zeroAngle - reading / 2.0;
        const double length = reading % 20 == 0 ? 12 : reading % 10 == 0 ? 9 : 5;
        painter.drawLine(polar(frameRadius, angle), polar(frameRadius - length, angle));
    }

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(7);
    painter.setFont(font);
    painter.setPen(ink);
    for (int reading = 0; reading <= 120; reading += 20) {
        const double angle = zeroAngle - reading / 2.0;
        painter.save();
        painter.translate(polar(scaleInnerRadius + 8, angle));
        painter.rotate(-angle);
        painter.drawText(QRectF(-12, -4, 24, 8), Qt::AlignCenter, QString::number(reading));
        painter.restore();
    }
}

void drawHandle(QPainter& painter) {
    const double offset = 21;
    const QPointF outward(std::cos(radians(frameHalfAngle)), -std::sin(radians(frameHalfAngle)));
    painter.setPen(outline());
    painter.setBrush(darkGrey);
    for (const double radius : {118.0, 158.0}) {
        const QPointF base = polar(radius, frameHalfAngle);
        painter.drawPolygon(bar(base, base + outward * offset, 5, 5));
    }
    const QPointF top = polar(108, frameHalfAngle) + outward * offset;
    const QPointF bottom = polar(168, frameHalfAngle) + outward * offset;
    QPainterPath grip;
    grip.addPolygon(bar(top, bottom, 13, 15));
    grip.closeSubpath();
    painter.setBrush(handleGrey);
    painter.drawPath(grip);
    painter.drawEllipse(circleBounds(top, 6.5));
    painter.drawEllipse(circleBounds(bottom, 7.5));
    // Finger grooves.
    painter.setPen(outline(0.6));
    for (double radius = 120; radius <= 156; radius += 9) {
        const QPointF middle = polar(radius, frameHalfAngle) + outward * offset;
        painter.drawLine(middle - outward * 6, middle + outward * 6);
    }
}

void drawIndexArm(QPainter& painter) {
    painter.setPen(outline());
    painter.setBrush(frameGrey.lighter(106));
    painter.drawPolygon(bar(polar(-6, armAngle), polar(186, armAngle), 12, 9));
    // The vernier plate that reads the arc, and the micrometer drum below it.
    painter.drawPolygon(bar(polar(146, armAngle), polar(182, armAngle), 16, 24));
    painter.setPen(outline(0.5));
    for (int line = -4; line <= 4; ++line) {
        const double angle = armAngle + line * 1.6;
        painter.drawLine(polar(frameRadius - 1, angle), polar(frameRadius - 5, angle));
    }
    painter.setPen(outline());
    painter.setBrush(darkGrey);
    const QPointF drum = polar(176, armAngle + 9);
    painter.drawEllipse(circleBounds(drum, 8));
    painter.setBrush(frameGrey);
    painter.drawEllipse(circleBounds(drum, 3));
}

// A mirror in its frame: a glass with a glint, `silvered` the fraction that reflects.
void drawMirror(QPainter& painter, QPointF centre, QSizeF size, double rotation, double silvered) {
    painter.save();
    painter.translate(centre);
    painter.rotate(rotation);
    const QRectF glass(-size.width() / 2, -size.height() / 2, size.width(), size.height());
    painter.setPen(outline(2.2));
    painter.setBrush(Qt::white);
    painter.drawRect(glass);
    const QRectF silver(glass.left(), glass.top(), glass.width() * silvered, glass.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(mirrorGrey);
    painter.drawRect(silver);
    painter.setPen(QPen(Qt::white, 1.2));
    painter.drawLine(silver.topLeft() + QPointF(3, 8), silver.topLeft() + QPointF(8, 3));
    painter.setPen(outline(2.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(glass);
    painter.restore();
}

void drawShades(QPainter& painter) {
    // Coloured glasses on a common hinge, folded partly into the light path.
    const QPointF hinge = polar(26, -20);
    int shade = 0;
    for (const double rotation : {4.0, 17.0, 30.0}) {
        painter.save();
        painter.translate(hinge);
        painter.rotate(rotation);
        painter.setPen(outline());
        painter.setBrush(QColor(60, 60, 60, 40 + 45 * shade++));
        painter.drawRoundedRect(QRectF(-5, 2, 10, 22), 3, 3);
        painter.restore();
    }
    painter.setBrush(darkGrey);
    painter.drawEllipse(circleBounds(hinge, 3));
}

void drawTelescope(QPainter& painter) {
    const double left = 112;
    const double right = 206;
    painter.setPen(outline());
    painter.setBrush(darkGrey);
    painter.drawRect(QRectF(left, telescopeY - 7, right - left, 14));
    painter.setBrush(darkGrey.darker(130));
    painter.drawRect(QRectF(left - 6, telescopeY - 9, 8, 18)); // objective ring
    painter.setBrush(darkGrey);
    painter.drawRect(QRectF(right, telescopeY - 5, 14, 10));                  // eyepiece tube
    painter.drawRoundedRect(QRectF(right + 14, telescopeY - 7, 6, 14), 2, 2); // eyecup
    // Collar that holds the tube on the frame.
    const double collarX =
        polar((telescopeY - pivot.y()) / std::cos(radians(frameHalfAngle)), frameHalfAngle).x();
    painter.setBrush(frameGrey);
    painter.drawRect(QRectF(collarX - 8, telescopeY - 10, 16, 20));
    // A highlight along the tube gives it its round look.
    painter.setPen(QPen(QColor(200, 200, 200), 1.2));
    painter.drawLine(QPointF(left + 3, telescopeY - 3.5), QPointF(collarX - 10, telescopeY - 3.5));
    painter.drawLine(QPointF(collarX + 10, telescopeY - 3.5), QPointF(right - 3, telescopeY - 3.5));
}

} // namespace

QImage drawSextant(int scale) {
    QImage image((logicalSize * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);

    // Back to front: the handle sits behind the frame, the arm and optics in front of it.
    drawHandle(painter);
    drawFrame(painter);
    drawScale(painter);
    drawIndexArm(painter);
    drawShades(painter);
    const double horizonRadius = (telescopeY - pivot.y()) / std::cos(radians(frameHalfAngle));
    drawMirror(painter, polar(horizonRadius, -frameHalfAngle) + QPointF(9, 0), QSizeF(16, 26), 0,
               0.5);
    drawMirror(painter, pivot + QPointF(0, 2), QSizeF(30, 14), -armAngle, 1.0);
    drawTelescope(painter);
    return image;
}
