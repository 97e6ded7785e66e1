#include "livehint.h"

#include <QApplication>
#include <QCursor>
#include <QToolTip>
#include <QWidget>

namespace {
// The widget whose tip shows for the mouse at the point: the nearest one up from the widget
// under it that has a tip.
QWidget* tipOwnerAt(const QPoint& globalPos) {
    for (QWidget* w = QApplication::widgetAt(globalPos); w; w = w->parentWidget()) {
        if (!w->toolTip().isEmpty()) return w;
        if (w->isWindow()) break;
    }
    return nullptr;
}
} // namespace

void SetLiveHint(QWidget* widget, const QString& text) {
    widget->setToolTip(text);
    if (!QToolTip::isVisible() || QToolTip::text() == text) return;
    const QPoint at = QCursor::pos();
    if (tipOwnerAt(at) == widget) QToolTip::showText(at, text, widget);
}
