// Writes the sextant watermark and the icon sizes into the assets folder given as the argument.
// Run it again whenever a drawing changes; the program itself only reads the PNGs it wrote.
#include "icondrawing.h"
#include "sextantdrawing.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include <array>

namespace {

bool save(const QImage& image, const QString& path) {
    if (image.save(path, "PNG"))
        return true;
    QTextStream(stderr) << "cannot write " << path << '\n';
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // Drawing needs no screen; the text on the scale needs a font database, hence the application.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: make_pictures <assets folder>\n";
        return 2;
    }
    const QDir assets(QString::fromLocal8Bit(argv[1]));
    if (!assets.mkpath(QStringLiteral("icons"))) {
        QTextStream(stderr) << "cannot create " << assets.filePath(QStringLiteral("icons")) << '\n';
        return 1;
    }

    bool ok = save(drawSextant(1), assets.filePath(QStringLiteral("sextant.png")));
    ok = save(drawSextant(2), assets.filePath(QStringLiteral("sextant@2x.png"))) && ok;
    constexpr std::array iconSizes = {16, 24, 32, 48, 64, 128, 256};
    for (const int size : iconSizes) {
        const QString name = QStringLiteral("icons/tourwise-%1.png").arg(size);
        ok = save(drawIcon(size), assets.filePath(name)) && ok;
    }
    return ok ? 0 : 1;
}
