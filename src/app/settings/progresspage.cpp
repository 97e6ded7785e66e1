#include "progresspage.h"

#include <QCheckBox>

ProgressPage::ProgressPage(PreviewHost& host, QWidget* parent) : ModeSettingsPage(host, parent) {
    setObjectName(QStringLiteral("TabSheet2"));
    cb_total = new QCheckBox(QStringLiteral("显示总进度"), this);
    cb_total->setObjectName(QStringLiteral("cb_total"));
}

void ProgressPage::Load() {}

void ProgressPage::Save() {}
