// The smallest Qt program that does what Pendra's window does while counting:
// a frameless label whose text changes every 500 ms. Pendra is measured against it.
#include <QApplication>
#include <QLabel>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("5:00"));
    label.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    QFont font = label.font();
    font.setPointSize(48);
    label.setFont(font);
    label.show();
    int ticks = 0;
    QTimer timer;
    // Same period as Pendra's engine timer; the colon blinks so that every tick
    // really changes the text and repaints, as a counting clock does.
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        const int left = 600 - ticks / 2;
        const QChar sep = ticks % 2 ? QLatin1Char(' ') : QLatin1Char(':');
        label.setText(QStringLiteral("%1%2%3").arg(left / 60).arg(sep).arg(left % 60, 2, 10,
                                                                           QLatin1Char('0')));
    });
    timer.start(500);
    return app.exec();
}
