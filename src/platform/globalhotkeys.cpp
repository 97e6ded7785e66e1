#include "globalhotkeys.h"

GlobalHotkeys::~GlobalHotkeys() = default;
