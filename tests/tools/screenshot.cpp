// Saves a picture of the whole X display, for looking at the program's windows under Xvfb.
// Usage: screenshot <out.png> [x y width height]
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: %s <out.png> [x y width height]\n", argv[0]);
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    QPixmap shot = argc == 6
                       ? screen->grabWindow(0, atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]))
                       : screen->grabWindow(0);
    return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
