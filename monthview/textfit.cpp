#include "monthview/textfit.h"

#include <QFontMetricsF>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace {

double measuredFittingFontSize(const QFont& font, const QString& text, double size, bool bold,
                               const QSizeF& box) {
    // Neighbouring texts keep at least this much apart.
    const double padding = std::max(2.0, box.width() * 0.05);
    const QSizeF room(box.width() - 2 * padding, box.height());
    if (text.isEmpty() || room.width() <= 0 || room.height() <= 0)
        return size;
    QFont probe = font;
    probe.setBold(bold);
    probe.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    const auto fits = [&text, &room](const QFont& candidate) {
        const QFontMetricsF metrics(candidate);
        return metrics.horizontalAdvance(text) <= room.width() && metrics.height() <= room.height();
    };
    if (fits(probe))
        return size;
    // Text grows about in proportion to the size; hinting may round a glyph up, so step down
    // from the estimate until it fits.
    const QFontMetricsF metrics(probe);
    const double scale =
        std::min(room.width() / metrics.horizontalAdvance(text), room.height() / metrics.height());
    int pixels = std::max(1, static_cast<int>(std::floor(probe.pixelSize() * scale)));
    for (probe.setPixelSize(pixels); pixels > 1 && !fits(probe); probe.setPixelSize(--pixels)) {
    }
    return pixels;
}

struct FitAnswer {
    QFont font;
    QString text;
    double size = 0;
    bool bold = false;
    QSizeF box;
    double fitted = 0;
};

} // namespace

double FittingFontSize(const QFont& font, const QString& text, double size, bool bold,
                       const QSizeF& box) {
    // Every refresh asks the same questions again until the window is resized, and each answer
    // means shaping the text: the latest answers are kept. A refresh asks nine (the seven weekday
    // names, the centred and the corner day numbers).
    static std::array<std::optional<FitAnswer>, 12> answers;
    static size_t next = 0;
    for (const std::optional<FitAnswer>& answer : answers)
        if (answer && answer->text == text && answer->size == size && answer->bold == bold &&
            answer->box == box && answer->font == font)
            return answer->fitted;
    const double fitted = measuredFittingFontSize(font, text, size, bold, box);
    answers[next] = FitAnswer{font, text, size, bold, box, fitted};
    next = (next + 1) % answers.size();
    return fitted;
}
