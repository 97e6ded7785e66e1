#pragma once

#include <QApplication>

// The application object with the general error handler: an error raised by a command
// (a refused settings write, for example) is shown to the user, and the program goes on.
class PendraApplication : public QApplication {
    Q_OBJECT
public:
    PendraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
