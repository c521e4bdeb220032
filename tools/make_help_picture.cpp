// Draws the Help page picture: the real Settings page, built offscreen in the state the Help page
// explains, with call-outs pointing at its controls. Not part of the program; run it whenever the
// Settings page changes, since the call-outs follow the controls' real geometry.
//
//   make_help_picture OUT.png
#include "app/mainform.h"
#include "core/clock.h"
#include "settings/settingsfile.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr QSize PictureSize(761, 1067);
constexpr qreal TextPixels = 34;
constexpr qreal LineWidth = 4;
constexpr qreal ArrowLength = 20;
constexpr qreal ArrowHalfWidth = 9;
constexpr qreal ControlGap = 5; // keeps every line end off the control it points at

// Text colours: the blue, magenta, brown and grey are darkened from their pure hues just enough
// to stay readable on white when the Help page shows the picture at less than half size.
const QColor LightBlue(0x3A, 0x8D, 0xDE);
const QColor Magenta(0xD0, 0x00, 0xC8);
const QColor DarkBlue(0x14, 0x2A, 0x8C);
const QColor LightBrown(0xB0, 0x7A, 0x3C);
const QColor Grey(0x80, 0x80, 0x80);
const QColor Teal(0x00, 0x99, 0x99);
const QColor Yellow(0xF2, 0xC4, 0x00);
const QColor Orange(0xFF, 0x8A, 0x00);
const QColor Red(0xE0, 0x20, 0x20);

// Where the page picture lies on the canvas, and the way from page to canvas coordinates.
struct Placement {
    QWidget* page = nullptr;
    QPointF origin;
    qreal scale = 1;

    QRectF rectOf(const QWidget* control) const {
        const QRect r(control->mapTo(page, QPoint(0, 0)), control->size());
        return {origin.x() + scale * r.x(), origin.y() + scale * r.y(), scale * r.width(),
                scale * r.height()};
    }
};

QFont calloutFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(int(TextPixels));
    font.setBold(true);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

qreal textWidth(const QString& text) {
    return QFontMetricsF(calloutFont()).horizontalAdvance(text);
}

// The box a call-out text occupies, given its left edge and vertical centre.
QRectF textBox(const QString& text, qreal left, qreal centreY) {
    const QFontMetricsF metrics(calloutFont());
    const qreal height = metrics.ascent() + metrics.descent();
    return {left, centreY - height / 2, metrics.horizontalAdvance(text), height};
}

void drawText(QPainter& painter, const QString& text, const QRectF& box, const QColor& color) {
    const QFontMetricsF metrics(calloutFont());
    QPainterPath path;
    path.addText(box.left(), box.top() + metrics.ascent(), calloutFont(), text);
    painter.fillPath(path, color);
}

// A leader from a call-out to its control; the last point is where it meets the control.
void drawLeader(QPainter& painter, QPolygonF points, const QColor& color, bool arrow) {
    painter.setPen(
        QPen(color, LineWidth, Qt::SolidLine, arrow ? Qt::FlatCap : Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    if (!arrow) {
        painter.drawPolyline(points);
        return;
    }
    const QPointF tip = points.last();
    const QPointF before = points.at(points.size() - 2);
    const QLineF last(before, tip);
    const QPointF unit = (tip - before) / last.length();
    const QPointF normal(-unit.y(), unit.x());
    const QPointF base = tip - unit * ArrowLength;
    points.last() = base + unit * 1; // the line runs under the head, never past its tip
    painter.drawPolyline(points);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(
        QPolygonF{tip, base + normal * ArrowHalfWidth, base - normal * ArrowHalfWidth});
}

QPointF rightMiddle(const QRectF& r) {
    return {r.right() + ControlGap, r.center().y()};
}
QPointF leftMiddle(const QRectF& r) {
    return {r.left() - ControlGap, r.center().y()};
}
QPointF topMiddle(const QRectF& r) {
    return {r.center().x(), r.top() - ControlGap};
}

// The Settings page as the Help page explains it: assignment A2, the three overlays on, the
// default title and colours.
void setHelpState(TMainForm& form) {
    form.cbPlt->setCurrentIndex(form.cbPlt->findText(QStringLiteral("A2")));
    form.swPaydays->setChecked(true);
    form.swDebitDays->setChecked(true);
    form.swPayPeriods->setChecked(true);
    form.edAgency->setText(QString::fromUtf8(DefaultAgencyTitle));
    form.tabCtrl->setActivePage(form.tabSettings);
    // The header reads the fills of the previous painting: paint twice, as the program does.
    form.RefreshAll(form.state().SelectedDate);
    form.RefreshAll(form.state().SelectedDate);
    form.setFocus(); // no text cursor in the agency box
}

struct RowCallout {
    QString text;
    QWidget* control;
    QColor textColor;
    QColor lineColor;
    bool arrow;
};

// Call-out texts must stay on the picture and clear of each other and of every control; when
// the page changes so much that they do not, the tool says so instead of writing a bad picture
// silently.
bool layoutIsClean(const QList<QRectF>& texts, const QList<QRectF>& controls) {
    const QRectF picture(QPointF(0, 0), QSizeF(PictureSize));
    bool clean = true;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (!picture.contains(texts[i]))
            clean = false;
        for (qsizetype j = i + 1; j < texts.size(); ++j)
            clean = clean && !texts[i].intersects(texts[j]);
        for (const QRectF& control : controls)
            clean = clean && !texts[i].intersects(control);
    }
    return clean;
}

// Returns false when the call-outs could not be placed cleanly.
bool drawPicture(QPainter& painter, TMainForm& form) {
    QWidget* page = form.tabSettings;
    // The page's outline is left off: the call-outs on the right lie over its empty right half,
    // and a frame line through them would cut the words. Below the agency box it is empty.
    const QRect agency(form.edAgency->mapTo(page, QPoint(0, 0)), form.edAgency->size());
    const QRect shown(1, 1, page->width() - 2, agency.bottom() + 24);
    const QPixmap pagePicture = page->grab(shown);

    // Rows answered from the right, in one column beside the page's controls.
    const QList<RowCallout> rows = {
        {"Shift Assignment", form.cbPlt, LightBlue, Red, false},
        {"Show Paydays", form.swPaydays, LightBlue, Orange, false},
        {"Show RDO", form.swDebitDays, LightBlue, Yellow, false},
        {"Show Pay Periods", form.swPayPeriods, LightBlue, Teal, false},
        {"RDO Color", form.bXPlt, Magenta, Qt::black, true},
        {"Background", form.bBkGr, LightBrown, Qt::black, true},
        {"Title", form.edAgency, Qt::black, Qt::black, true},
    };
    qreal widest = 0;
    int controlsRight = 0; // in page coordinates
    for (const RowCallout& row : rows) {
        widest = std::max(widest, textWidth(row.text));
        controlsRight =
            std::max(controlsRight, row.control->mapTo(page, QPoint(row.control->width(), 0)).x());
    }

    constexpr qreal Margin = 14;
    constexpr qreal Gutter = 44;     // left of the page, where the lines to A and Ld / Tr run
    constexpr qreal LeaderRoom = 56; // between the rightmost control and the column
    Placement at;
    at.page = page;
    at.scale = (PictureSize.width() - 2 * Margin - Gutter - widest - LeaderRoom) / controlsRight;
    const QSizeF pageSize = at.scale * QSizeF(shown.size());
    // Above and below the page, a band for the call-outs placed there; the whole stands in the
    // middle.
    constexpr qreal Band = 128;
    const qreal top = (PictureSize.height() - pageSize.height()) / 2;
    const qreal topTextY = top - Band + textBox("X", 0, 0).height() / 2;
    const qreal bottomTextY = top + pageSize.height() + Band - textBox("X", 0, 0).height() / 2;
    const QPointF shownOrigin(Margin + Gutter, top);
    at.origin = shownOrigin - at.scale * QPointF(shown.topLeft());
    painter.drawPixmap(QRectF(shownOrigin, pageSize), pagePicture, QRectF(pagePicture.rect()));

    QList<QRectF> texts;
    const qreal columnLeft = PictureSize.width() - Margin - widest;
    for (const RowCallout& row : rows) {
        const QRectF control = at.rectOf(row.control);
        const QRectF box = textBox(row.text, columnLeft, control.center().y());
        drawLeader(painter, {QPointF(box.left() - 12, box.center().y()), rightMiddle(control)},
                   row.lineColor, row.arrow);
        drawText(painter, row.text, box, row.textColor);
        texts.append(box);
    }

    const QRectF save = at.rectOf(form.bSave);
    const QString saveText = QStringLiteral("Save");
    const QRectF saveBox = textBox(saveText, save.center().x() - textWidth(saveText) / 2, topTextY);
    drawLeader(painter, {QPointF(save.center().x(), saveBox.bottom() + 8), topMiddle(save)},
               Qt::black, true);
    drawText(painter, saveText, saveBox, LightBlue);

    // Crew colours: B is reached straight down the empty lane between the labels and the
    // switches, A round the left of the page, since the labels stand above it.
    const QRectF crewA = at.rectOf(form.bAPlt);
    const QRectF crewB = at.rectOf(form.bBPlt);
    const QString crewText = QStringLiteral("Crew Colors");
    const QRectF crewBox = textBox(crewText, Margin, topTextY);
    const qreal laneA = Margin + 12;
    drawLeader(painter, {QPointF(crewB.center().x(), crewBox.bottom() + 8), topMiddle(crewB)},
               Qt::black, true);
    drawLeader(painter,
               {QPointF(laneA, crewBox.bottom() + 8), QPointF(laneA, crewA.center().y()),
                leftMiddle(crewA)},
               Qt::black, true);
    drawText(painter, crewText, crewBox, DarkBlue);

    const QRectF leading = at.rectOf(form.bLdTr);
    const QString leadingText = QStringLiteral("Leading / Trailing Color");
    const QRectF leadingBox = textBox(leadingText, Margin, bottomTextY);
    const qreal laneLeading = Margin + 28;
    drawLeader(painter,
               {QPointF(laneLeading, leadingBox.top() - 8),
                QPointF(laneLeading, leading.center().y()), leftMiddle(leading)},
               Qt::black, true);
    drawText(painter, leadingText, leadingBox, Grey);

    texts.append({saveBox, crewBox, leadingBox});
    QList<QRectF> controls;
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             form.sbBack2, form.lblToolbar2, form.bSave, form.lblPlatoon, form.cbPlt,
             form.lblPaydays, form.swPaydays, form.lblDebitDays, form.swDebitDays,
             form.lblPayPeriods, form.swPayPeriods, form.bAPlt, form.bBPlt, form.bXPlt, form.bLdTr,
             form.bBkGr, form.edAgency})
        controls.append(at.rectOf(control));
    return layoutIsClean(texts, controls);
}

} // namespace

int main(int argc, char* argv[]) {
    // The tool never shows a window, and the page is drawn at double density so that the
    // picture stays crisp after scaling.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (argc != 2) {
        std::fputs("usage: make_help_picture OUT.png\n", stderr);
        return 2;
    }

    // A fixed day and an empty settings folder: the picture never depends on the machine.
    setTodayProvider([] { return serialFromQDate(QDate(2026, 12, 10)); });
    QTemporaryDir settings;
    StartupEnvironment environment;
    environment.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    environment.configBase = settings.path();
    environment.dataBase = settings.path();
    TMainForm form(environment);
    form.resize(378, 564);
    form.show();
    setHelpState(form);

    QImage picture(PictureSize, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                           QPainter::TextAntialiasing);
    const bool clean = drawPicture(painter, form);
    painter.end();
    if (!picture.save(QString::fromLocal8Bit(argv[1])))
        return 1;
    if (!clean) {
        std::fputs("make_help_picture: call-outs overlap or leave the picture; look at it\n",
                   stderr);
        return 1;
    }
    return 0;
}
