// The toolkit's floor for start-up and memory: one window with one label, the same style as the
// program, ended right after its first complete paint.
#include "bench/firstpaintquit.h"

#include <QApplication>
#include <QLabel>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Hello"), &window));
    window.resize(350, 640);
    new QuitAfterFirstPaint(&window);
    window.show();
    return QApplication::exec();
}
