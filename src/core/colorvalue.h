#pragma once

#include <QtGlobal>

// A colour as js.ini stores it: 0x00BBGGRR for a plain colour, a top byte of 0xFF for a
// system colour (index in the low byte), 0x1FFFFFFF for no colour.
namespace ColorValue {
constexpr qint32 None = 0x1FFFFFFF;

inline bool isSystem(qint32 v) {
    return (static_cast<quint32>(v) >> 24) == 0xFF;
}
inline int systemIndex(qint32 v) {
    return v & 0xFF;
}
// 0xRRGGBB of a plain colour (the top byte is ignored).
inline quint32 toRgb(qint32 v) {
    const auto u = static_cast<quint32>(v);
    return ((u & 0xFF) << 16) | (u & 0xFF00) | ((u >> 16) & 0xFF);
}
inline qint32 fromRgb(quint32 rgb) {
    return static_cast<qint32>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}
} // namespace ColorValue
