#pragma once

// Qt's own dialogs (colour, file, font) and the standard message-box buttons speak the
// language of the translations loaded into the application. Loads Qt's Simplified Chinese
// translations once; does nothing when they are not installed, or when called again.
// The widgets call it before they open one of those dialogs.
void InstallQtChineseTranslations();
