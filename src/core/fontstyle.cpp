#include "fontstyle.h"

namespace {
struct StyleName {
    int flag;
    const char* name;
};
constexpr StyleName Names[] = {{fsBold, "fsBold"},
                               {fsItalic, "fsItalic"},
                               {fsUnderline, "fsUnderline"},
                               {fsStrikeOut, "fsStrikeOut"}};
} // namespace

QString FontStyleToText(int styles) {
    QString t = QStringLiteral("[");
    for (const StyleName& s : Names) {
        if (!(styles & s.flag)) continue;
        if (t.size() > 1) t += QLatin1Char(',');
        t += QLatin1String(s.name);
    }
    return t + QLatin1Char(']');
}

int TextToFontStyle(const QString& text) {
    int styles = 0;
    for (const StyleName& s : Names)
        if (text.contains(QLatin1String(s.name), Qt::CaseSensitive)) styles |= s.flag;
    return styles;
}
