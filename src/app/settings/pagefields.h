#pragma once

// Small pieces the mode pages share: naming a control, a labelled row of a grid, and a
// font's size and style as js.ini keeps them.
#include "fontstyle.h"

#include <QFont>
#include <QFontInfo>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QString>
#include <QWidget>

template <class Control> Control* Named(Control* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// A label beside its control, in the next row of the grid; the hint goes on both. A number
// needs no more room than a few digits.
inline void AddRow(QGridLayout* grid, const QString& text, QWidget* control, int span = 1,
                   const QString& hint = {}) {
    const int row = grid->rowCount();
    auto* label = new QLabel(text, control->parentWidget());
    label->setBuddy(control);
    if (!hint.isEmpty()) {
        control->setToolTip(hint);
        label->setToolTip(hint);
    }
    grid->addWidget(label, row, 0);
    if (qobject_cast<QSpinBox*>(control)) {
        control->setMinimumWidth(72);
        grid->addWidget(control, row, 1, 1, span, Qt::AlignLeft);
    } else {
        grid->addWidget(control, row, 1, 1, span);
    }
}

// The size in points, also for a font given in pixels.
inline int FontPointSize(const QFont& font) {
    return font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
}

inline int FontStyleOf(const QFont& font) {
    return (font.bold() ? fsBold : 0) | (font.italic() ? fsItalic : 0) |
           (font.underline() ? fsUnderline : 0) | (font.strikeOut() ? fsStrikeOut : 0);
}
