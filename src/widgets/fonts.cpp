#include "fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

namespace {

struct Substitution {
    std::initializer_list<const char*> windowsNames;
    std::initializer_list<const char*> faces; // the preferred first
};

// Where a face has no bold weight the text renderer emboldens it (FaceHasBoldWeight).
const Substitution Substitutions[] = {
    // Song/Ming serif faces. UMing has no bold, but the default clock font resolves here and
    // Noto Serif CJK costs 1.8 MB more resident memory for the clock's few glyphs.
    {{"宋体", "新宋体", "SimSun", "NSimSun"}, {"AR PL UMing CN", "Noto Serif CJK SC"}},
    // Kai (brush) faces.
    {{"楷体_GB2312", "楷体", "KaiTi", "KaiTi_GB2312"}, {"AR PL UKai CN"}},
    // Hei (sans) faces.
    {{"黑体", "SimHei", "微软雅黑", "Microsoft YaHei"}, {"Noto Sans CJK SC", "DejaVu Sans"}},
    // The Windows dialog sans faces.
    {{"MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma"},
     {"DejaVu Sans", "Noto Sans CJK SC"}},
};

} // namespace

void RegisterFontSubstitutions() {
    for (const Substitution& s : Substitutions) {
        QStringList faces;
        for (const char* face : s.faces)
            faces << QString::fromUtf8(face);
        for (const char* name : s.windowsNames)
            QFont::insertSubstitutions(QString::fromUtf8(name), faces);
    }
}

QStringList SubstitutedFontNames() {
    QStringList names;
    for (const Substitution& s : Substitutions)
        for (const char* name : s.windowsNames)
            names << QString::fromUtf8(name);
    return names;
}

bool FaceHasBoldWeight(const QFont& font) {
    const QString family = QFontInfo(font).family();
    for (const QString& style : QFontDatabase::styles(family))
        if (QFontDatabase::weight(family, style) >= QFont::DemiBold) return true;
    return false;
}
