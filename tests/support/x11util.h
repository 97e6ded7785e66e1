#pragma once

// Small X11 helpers for black-box tests: find a program's window, read its title and
// close it the way a window manager's close button does.
#include <QColor>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace x11 {

// Runs xdotool with the arguments; returns its standard output, trimmed.
QString xdotool(const QStringList& args, int timeoutMs = 10000);

// The visible top-level window of a process, 0 when none appears in time.
unsigned long waitForWindow(qint64 pid, int timeoutMs = 10000);

// Every visible top-level window of a process, now.
QList<unsigned long> visibleWindows(qint64 pid);

// The first name of the window's _NET_WM_WINDOW_TYPE ("_NET_WM_WINDOW_TYPE_DIALOG" for a
// message box), empty when it has none.
QString windowType(unsigned long window);

QString windowName(unsigned long window);

// Sends WM_DELETE_WINDOW, as a window manager's close button does.
void requestClose(unsigned long window);

// The colour of the screen at (x, y) relative to the window.
QColor pixel(unsigned long window, int x, int y);

// The window's _NET_WM_WINDOW_OPACITY as an alpha value 0..255; 255 when it has none.
int windowOpacity(unsigned long window);

} // namespace x11
