#pragma once

// Helpers for driving real dialogs on the tests' X server: clicks and keys through XTEST
// (xdotool), waiting with generous timeouts, and a driver that answers modal dialogs
// (file, colour, message boxes) as they come up, however deeply they are nested.
#include "x11util.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QMap>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace dialogtesting {

inline bool waitUntil(const std::function<bool()>& done, int msecs = 10000) {
    QDeadlineTimer deadline(msecs);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(20);
    return done();
}

// Moves the real pointer to the middle of w (or to at, in w's coordinates) and clicks.
// Check boxes and radio buttons take clicks only on their box and text, so they are
// clicked on the box.
inline void click(QWidget* w, QPoint at = QPoint(-1, -1)) {
    if (at.x() < 0) {
        at = w->rect().center();
        if (w->inherits("QCheckBox") || w->inherits("QRadioButton")) at.setX(8);
    }
    const QPoint g = w->mapToGlobal(at);
    // No --sync: it waits for a motion event, which never comes when the pointer is there.
    x11::xdotool({"mousemove", QString::number(g.x()), QString::number(g.y()), "click", "1"});
}

// Key names as xdotool knows them ("Tab", "Escape", "Return", "1").
inline void keys(const QStringList& names) {
    x11::xdotool(QStringList{"key", "--delay", "30"} + names);
}

// Shows a top-level window and gives it the keyboard.
inline bool showActive(QWidget* w) {
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) return false;
    w->activateWindow();
    w->raise();
    return QTest::qWaitForWindowActive(w);
}

// What the real screen shows of w.
inline QImage screenOf(QWidget* w) {
    const QPoint g = w->mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, g.x(), g.y(), w->width(), w->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Types a full path into a file dialog and opens it, as a user may. (Selecting it in the
// list would depend on the dialog having read the folder yet, and a file selected in the
// list would win over the typed name.)
inline void chooseFile(QWidget* fileDialog, const QString& path) {
    for (auto* view : fileDialog->findChildren<QAbstractItemView*>())
        view->clearSelection();
    auto* name = fileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name) name->setText(path);
    QMetaObject::invokeMethod(fileDialog, "accept");
}

// Answers modal dialogs by objectName from a timer, so that it also runs inside a dialog's
// own event loop. A handler runs once, on the first modal dialog of its name, unless it is
// registered to answer every one.
class ModalDriver {
public:
    ModalDriver() {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    void on(const QString& name, std::function<void(QWidget*)> handler) {
        m_handlers[name] = std::move(handler);
        m_every.remove(name);
    }
    void onEvery(const QString& name, std::function<void(QWidget*)> handler) {
        m_handlers[name] = std::move(handler);
        m_every.insert(name);
    }
    int answered(const QString& name) const { return m_answered.value(name); }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || m_busy) return;
        auto it = m_handlers.find(modal->objectName());
        if (it == m_handlers.end()) return;
        const QString name = modal->objectName();
        auto handler = it.value();
        if (!m_every.contains(name)) m_handlers.erase(it);
        ++m_answered[modal->objectName()];
        m_busy = true;
        handler(modal);
        m_busy = false;
    }

    QTimer m_timer;
    QMap<QString, std::function<void(QWidget*)>> m_handlers;
    QMap<QString, int> m_answered;
    QSet<QString> m_every;
    bool m_busy = false;
};

} // namespace dialogtesting
