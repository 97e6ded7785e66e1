#pragma once

#include <QString>

// Opens a file with the desktop's default application for it (xdg-open where present).
// Nothing is waited for. A relative path is taken relative to the current directory.
// Returns false when no opener could be started.
bool OpenWithDefaultApp(const QString& path);
