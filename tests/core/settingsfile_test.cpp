#include "settingsfile.h"

#include <gtest/gtest.h>

TEST(SettingsFile, Placeholder) { SUCCEED(); }
