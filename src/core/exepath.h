#pragma once

#include <QString>

// Full path of the running executable.
QString ExecutablePath();

// Directory of the running executable, ending with the directory separator "/".
QString ExeDir();
