#include "application.h"
#include "fonts.h"
#include "tfrmmain.h"

int main(int argc, char** argv) {
    // The FFmpeg media back end crashes without a sound server; GStreamer stays silent.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
    PendraApplication app(argc, argv);
    RegisterFontSubstitutions();
    Tfrmmain w;
    QObject::connect(&w, &Tfrmmain::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    w.show();
    return app.exec();
}
