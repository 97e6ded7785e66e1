#include "application.h"

#include <QMessageBox>
#include <exception>

PendraApplication::PendraApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Pendra"));
    setApplicationVersion(QStringLiteral(PENDRA_VERSION));
}

bool PendraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        QMessageBox::critical(activeWindow(), QStringLiteral("Pendra"),
                              QString::fromUtf8(e.what()));
    }
    return false;
}
