#include "tfrmmain.h"

#include <QApplication>

int main(int argc, char** argv) {
    // The FFmpeg media back end crashes without a sound server; GStreamer stays silent.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QApplication app(argc, argv);
    Tfrmmain w;
    w.show();
    return app.exec();
}
