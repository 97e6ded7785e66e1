#include "fonts.h"

#include <QFont>
#include <QStringList>

void RegisterFontSubstitutions() {
    // Song/Ming serif faces.
    const QStringList song{QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")};
    for (const char* name : {"宋体", "新宋体", "SimSun", "NSimSun"})
        QFont::insertSubstitutions(QString::fromUtf8(name), song);
    // Kai (brush) faces.
    const QStringList kai{QStringLiteral("AR PL UKai CN")};
    for (const char* name : {"楷体_GB2312", "楷体", "KaiTi", "KaiTi_GB2312"})
        QFont::insertSubstitutions(QString::fromUtf8(name), kai);
    // Hei (sans) faces.
    const QStringList hei{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")};
    for (const char* name : {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei"})
        QFont::insertSubstitutions(QString::fromUtf8(name), hei);
    // The Windows dialog sans faces.
    const QStringList sans{QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC")};
    for (const char* name : {"MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma"})
        QFont::insertSubstitutions(QString::fromUtf8(name), sans);
}
