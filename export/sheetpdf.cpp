// The page of a sheet and its way onto a printer or into a PDF file.
#include "export/sheet.h"

#include <QBuffer>
#include <QDir>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

// Where Letter is the paper in the shops; A4 everywhere else.
bool usesLetter(const QLocale& locale) {
    if (locale.measurementSystem() == QLocale::ImperialUSSystem)
        return true;
    switch (locale.territory()) {
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Philippines:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::Venezuela:
    case QLocale::PuertoRico:
        return true;
    default:
        return false;
    }
}

// One page of PDF into `device`; false when the sheet could not be drawn.
bool paintPdf(QIODevice& device, const SheetRequest& request) {
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("Tourwise %1").arg(request.version).trimmed());
    writer.setTitle(request.agency);
    writer.setPageLayout(SheetPageLayout(request));
    return PrintSheet(writer, request);
}

QString unableToWrite(const QString& path, const QString& reason) {
    return QStringLiteral("Unable to write to %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QPageLayout SheetPageLayout(const SheetRequest& request) {
    const QPageSize size(usesLetter(request.locale) ? QPageSize::Letter : QPageSize::A4);
    const auto orientation =
        request.kind == SheetRequest::Kind::Year ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(size, orientation, QMarginsF(8, 8, 8, 8), QPageLayout::Millimeter);
}

bool PrintSheet(QPagedPaintDevice& device, const SheetRequest& request) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // The painter's origin is the top left of the printable area.
    const QRect area = device.pageLayout().paintRectPixels(device.logicalDpiX());
    PaintSheet(painter, QRectF(QPointF(0, 0), area.size()), request);
    return painter.end();
}

bool WriteSheetPdf(const QString& path, const SheetRequest& request, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = unableToWrite(path, file.errorString());
        return false;
    }
    if (!paintPdf(file, request)) {
        file.cancelWriting();
        if (error)
            *error = unableToWrite(path, QStringLiteral("the PDF could not be drawn"));
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = unableToWrite(path, file.errorString());
        return false;
    }
    return true;
}

std::optional<QByteArray> SheetPdfBytes(const SheetRequest& request) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!paintPdf(buffer, request))
        return std::nullopt;
    return bytes;
}
