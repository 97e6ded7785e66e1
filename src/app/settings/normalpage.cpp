#include "normalpage.h"

NormalPage::NormalPage(PreviewHost& host, QWidget* parent) : ModeSettingsPage(host, parent) {
    setObjectName(QStringLiteral("TabSheet1"));
}

void NormalPage::Load() {}

void NormalPage::Save() {}
