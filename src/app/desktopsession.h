#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QDBusConnection;
class RemoteControl;
class Tfrmmain;
class TfrmmainRemote;
struct CommandLine;

QStringList ArgumentsOf(int argc, char** argv);

// Help, version, a wrong argument (with the usage, exit code 2) or a command for the running
// window; returns the exit code.
int RunWithoutWindow(const CommandLine& cl, int& argc, char** argv);

// Before the application object: sets QT_QPA_PLATFORM as ChooseQtPlatform says.
void UseDesktopPlatform(const CommandLine& cl);

// --config-dir: enters the settings folder, or says why not (on stderr and in a message box)
// and returns false.
bool EnterSettingsDirOrSay(const QString& given);

// The Qt platform to run on, or empty to leave Qt's choice. The window must place itself,
// stay above the others and keep its opacity, which a Wayland client cannot: in a Wayland
// session with XWayland (DISPLAY set) it runs on X11; without XWayland on Wayland itself.
// The user's own choice (QT_QPA_PLATFORM, -platform) always wins.
QByteArray ChooseQtPlatform(const QByteArray& qtQpaPlatform, bool platformArgument,
                            const QByteArray& waylandDisplay, const QByteArray& display,
                            const QByteArray& sessionType);

// Everything the running window offers the desktop besides itself: remote control on the
// session bus, and the notices about what this session cannot do.
class DesktopLink {
public:
    // platformName: QGuiApplication::platformName(); bus: the session bus.
    DesktopLink(Tfrmmain& frm, const QString& platformName, const QDBusConnection& bus);
    ~DesktopLink();

    static QString NoHotkeysNotice();
    static QString SecondWindowNotice();
    static QString NoBusMessage();

private:
    std::unique_ptr<TfrmmainRemote> m_target;
    std::unique_ptr<RemoteControl> m_remote;
};
