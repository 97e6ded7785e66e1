#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>

// A modal message box that never stacks a second copy of itself. A message that comes
// while the box is open (from a timer, a hotkey or a nested event loop) is not shown; the
// open box stays as it is, and the call returns at once.
class SingleMessageBox {
public:
    // Shows the box and returns when it has been closed: true. Returns false at once when
    // the box is already open.
    bool Show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text);
    bool IsOpen() const { return !m_box.isNull(); }

private:
    QPointer<QMessageBox> m_box;
};
