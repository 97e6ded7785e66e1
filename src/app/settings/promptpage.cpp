#include "promptpage.h"

PromptPage::PromptPage(PreviewHost& host, QWidget* parent) : ModeSettingsPage(host, parent) {
    setObjectName(QStringLiteral("TabSheet7"));
}

void PromptPage::Load() {}

void PromptPage::Save() {}
