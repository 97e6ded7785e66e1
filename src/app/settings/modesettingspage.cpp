#include "modesettingspage.h"

#include "gifpage.h"
#include "normalpage.h"
#include "progresspage.h"
#include "promptpage.h"

ModeSettingsPage::ModeSettingsPage(PreviewHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {}

std::array<ModeSettingsPage*, 4> CreateModeSettingsPages(PreviewHost& host, QWidget* parent) {
    return {new NormalPage(host, parent), new ProgressPage(host, parent),
            new PromptPage(host, parent), new GifPage(host, parent)};
}
