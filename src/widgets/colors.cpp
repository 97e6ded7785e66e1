#include "colors.h"

#include "colorvalue.h"

#include <QGuiApplication>
#include <QPalette>

namespace {
// Windows system colour indices mapped to the nearest role of the desktop palette.
QPalette::ColorRole roleOf(int index) {
    switch (index) {
    case 1:  // desktop
    case 12: // application workspace
        return QPalette::Dark;
    case 2:  // active caption
    case 13: // highlight
    case 26: // hot light
    case 27: // gradient of the active caption
    case 29: // menu highlight
        return QPalette::Highlight;
    case 5: // window
        return QPalette::Base;
    case 6:  // window frame
    case 21: // 3D dark shadow
        return QPalette::Shadow;
    case 7: // menu text
    case 8: // window text
    case 9: // caption text
        return QPalette::WindowText;
    case 14: // highlight text
        return QPalette::HighlightedText;
    case 16: // button shadow
        return QPalette::Mid;
    case 17: // grey text
        return QPalette::PlaceholderText;
    case 18: // button text
        return QPalette::ButtonText;
    case 20: // button highlight
    case 22: // 3D light
        return QPalette::Light;
    case 23: // tool tip text
        return QPalette::ToolTipText;
    case 24: // tool tip background
        return QPalette::ToolTipBase;
    default: // button face, menu, scroll bar, borders, captions of inactive windows
        return QPalette::Button;
    }
}
} // namespace

QColor ColorFromValue(qint32 value, const QColor& fallback) {
    if (value == ColorValue::None) return fallback;
    if (ColorValue::isSystem(value))
        return QGuiApplication::palette().color(QPalette::Active,
                                                roleOf(ColorValue::systemIndex(value)));
    return QColor::fromRgb(ColorValue::toRgb(value));
}

qint32 ValueFromColor(const QColor& color) {
    return ColorValue::fromRgb(color.rgb() & 0xFFFFFF);
}
