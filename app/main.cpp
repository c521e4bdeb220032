#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel window("Tourwise");
    window.resize(350, 640);
    window.show();
    return app.exec();
}
