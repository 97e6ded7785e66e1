#include "qtchinese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void InstallQtChineseTranslations() {
    static bool done = false;
    if (done || !QCoreApplication::instance()) return;
    done = true;
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_zh_CN"), dir))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
