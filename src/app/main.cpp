#include "application.h"
#include "commandline.h"
#include "desktopsession.h"
#include "fonts.h"
#include "tfrmmain.h"

#include <QDBusConnection>

int main(int argc, char** argv) {
    const CommandLine cl = ParseCommandLine(ArgumentsOf(argc, argv));
    if (cl.action != CommandLine::Window) return RunWithoutWindow(cl, argc, argv);
    UseDesktopPlatform(cl);
    // The FFmpeg media back end crashes without a sound server; GStreamer stays silent.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
    PendraApplication app(argc, argv);
    if (cl.inSettingsDir && !EnterSettingsDirOrSay(cl.settingsDir)) return 1;
    RegisterFontSubstitutions();
    // The program ends when the main window says so, after any message about its close.
    QApplication::setQuitOnLastWindowClosed(false);
    Tfrmmain w;
    QObject::connect(&w, &Tfrmmain::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    w.show();
    const DesktopLink link(w, QGuiApplication::platformName(), QDBusConnection::sessionBus());
    return app.exec();
}
