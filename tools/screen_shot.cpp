// Saves what the X server shows, the whole screen or a part of it, as a PNG:
//   screen_shot OUT.png [X Y WIDTH HEIGHT]
// For the documentation's pictures of the real program (scripts/render-progress-mode.sh).
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: screen_shot OUT.png [X Y WIDTH HEIGHT]\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect all = screen->geometry();
    QRect r = all;
    if (argc == 6)
        r = QRect(QString::fromLocal8Bit(argv[2]).toInt(), QString::fromLocal8Bit(argv[3]).toInt(),
                  QString::fromLocal8Bit(argv[4]).toInt(), QString::fromLocal8Bit(argv[5]).toInt());
    const QImage image = screen->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
    if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "screen_shot: could not grab or save the picture\n");
        return 1;
    }
    return 0;
}
