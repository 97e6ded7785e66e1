#include "runmenu.h"

#include "captions.h"
#include "stageplan.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

RunMenu::RunMenu(QWidget* window) : QObject(window) {
    PMenu = new QMenu(window);
    PMenu->setObjectName(QStringLiteral("PMenu"));
    const auto item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    N_start = item(PMenu, "N_start", Caption::Start);
    N_pause = item(PMenu, "N_pause", Caption::Pause);
    N_pause->setEnabled(false);
    N_stop = item(PMenu, "N_stop", Caption::Stop);
    N_stop->setEnabled(false);
    PMenu->addSeparator();
    n_next = item(PMenu, "n_next", QStringLiteral("下一阶段"));
    N_pri = item(PMenu, "N_pri", QStringLiteral("上一阶段"));
    N_jd = PMenu->addMenu(QStringLiteral("阶段"));
    N_jd->setObjectName(QStringLiteral("N_jd"));
    for (int tag = 1; tag <= StageCount; ++tag) {
        QAction* a = N_jd->addAction(QString::number(tag));
        a->setObjectName(QStringLiteral("N%11").arg(tag));
        a->setData(tag);
        StageItems[tag - 1] = a;
    }
    PMenu->addSeparator();
    N_set = item(PMenu, "N_set", QStringLiteral("设置"));
    PMenu->addSeparator();
    N_About = item(PMenu, "N_About", QStringLiteral("关于"));
    N_help = item(PMenu, "N_help", QStringLiteral("帮助"));
    N_exit = item(PMenu, "N_exit", QStringLiteral("退出"));
}

void RunMenu::ClickItem(QAction* item) {
    if (item && item->isEnabled()) item->trigger();
}

void RunMenu::SetHideShowRoles() {
    m_hideShow = true;
    N_start->setText(Caption::StartHide);
    N_stop->setText(Caption::StopShow);
}

void RunMenu::EnterRunningMenu() {
    N_start->setEnabled(m_hideShow);
    N_pause->setEnabled(true);
    N_stop->setEnabled(true);
    N_set->setEnabled(false);
    n_next->setEnabled(false);
    N_pri->setEnabled(false);
    N_jd->setEnabled(false);
}

void RunMenu::EnterStoppedMenu() {
    N_start->setEnabled(true);
    N_pause->setText(Caption::Pause);
    N_pause->setEnabled(false);
    N_stop->setEnabled(false);
    N_set->setEnabled(true);
    n_next->setEnabled(true);
    N_pri->setEnabled(true);
    N_jd->setEnabled(true);
}

bool RunMenu::IsPaused() const {
    return N_pause->text() == Caption::Continue;
}

void RunMenu::SetPaused(bool paused) {
    N_pause->setText(paused ? Caption::Continue : Caption::Pause);
}

bool RunMenu::InResult() const {
    return N_start->text() == Caption::Reset;
}

void RunMenu::SetResult() {
    N_start->setText(Caption::Reset);
}

void RunMenu::ClearResult() {
    N_start->setText(m_hideShow ? Caption::StartHide : Caption::Start);
}

void RunMenu::LoadStageNames(const SettingsFile& file) {
    for (int n = 1; n <= StageCount; ++n) {
        QAction* a = StageItems[n - 1];
        a->setText(StageMenuCaption(file, n));
        a->setVisible(StageMenuVisible(a->text(), n));
    }
}

void RunMenu::SetDefaultStage(int stage) {
    if (stage >= 1 && stage <= StageCount) N_jd->setDefaultAction(StageItems[stage - 1]);
}
