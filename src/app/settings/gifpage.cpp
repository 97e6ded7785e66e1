#include "gifpage.h"

GifPage::GifPage(PreviewHost& host, QWidget* parent) : ModeSettingsPage(host, parent) {
    setObjectName(QStringLiteral("TabSheet8"));
}

void GifPage::Load() {}

void GifPage::Save() {}
