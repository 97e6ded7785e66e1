#pragma once

#include <QString>

class QWidget;

// Sets the widget's hint (its tool tip) to a text that follows a running value, and
// refreshes the tip when it is open under the mouse for this widget, so that a tip the user
// is reading changes with every tick instead of showing the value it had when it opened.
// A tip that is not open is not opened: the mouse resting on the widget opens it as usual.
// A child without a tip of its own shows its parent's, so the mouse on such a child counts
// as on the widget; a child with a tip of its own keeps it.
void SetLiveHint(QWidget* widget, const QString& text);
