#include "x11util.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <xcb/xcb.h>

namespace x11 {

QString xdotool(const QStringList& args, int timeoutMs) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(timeoutMs);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

unsigned long waitForWindow(qint64 pid, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QString out = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                     QStringLiteral("--pid"), QString::number(pid)});
        if (!out.isEmpty()) return out.split(QLatin1Char('\n')).first().toULong();
        QThread::msleep(100);
    }
    return 0;
}

QList<unsigned long> visibleWindows(qint64 pid) {
    QList<unsigned long> windows;
    const QString out = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--pid"), QString::number(pid)});
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        windows << line.toULong();
    return windows;
}

QString windowName(unsigned long window) {
    return xdotool({QStringLiteral("getwindowname"), QString::number(window)});
}

namespace {
xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
}
} // namespace

QString windowType(unsigned long window) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, xcb_window_t(window), atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM,
                         0, 1),
        nullptr);
    QString name;
    if (reply && xcb_get_property_value_length(reply) >= 4) {
        const xcb_atom_t type = *static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        xcb_get_atom_name_reply_t* n =
            xcb_get_atom_name_reply(c, xcb_get_atom_name(c, type), nullptr);
        if (n)
            name = QString::fromLatin1(xcb_get_atom_name_name(n), xcb_get_atom_name_name_length(n));
        free(n);
    }
    free(reply);
    xcb_disconnect(c);
    return name;
}

void requestClose(unsigned long window) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = xcb_window_t(window);
    ev.type = atom(c, "WM_PROTOCOLS");
    ev.data.data32[0] = atom(c, "WM_DELETE_WINDOW");
    ev.data.data32[1] = XCB_CURRENT_TIME;
    // Checked, so that the server has handled the request before the connection closes:
    // a request still in flight when its client hangs up is at times dropped.
    free(xcb_request_check(c, xcb_send_event_checked(c, 0, xcb_window_t(window),
                                                     XCB_EVENT_MASK_NO_EVENT,
                                                     reinterpret_cast<const char*>(&ev))));
    xcb_disconnect(c);
}

QColor pixel(unsigned long window, int x, int y) {
    const QImage img =
        QGuiApplication::primaryScreen()->grabWindow(WId(window), x, y, 1, 1).toImage();
    return img.isNull() ? QColor() : img.pixelColor(0, 0);
}

int windowOpacity(unsigned long window) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, xcb_window_t(window), atom(c, "_NET_WM_WINDOW_OPACITY"),
                         XCB_ATOM_CARDINAL, 0, 1),
        nullptr);
    int alpha = 255; // no property: opaque
    if (reply && xcb_get_property_value_length(reply) >= 4) {
        const quint32 value = *static_cast<const quint32*>(xcb_get_property_value(reply));
        alpha = int(value / 0x01010101u);
    }
    free(reply);
    xcb_disconnect(c);
    return alpha;
}

} // namespace x11
