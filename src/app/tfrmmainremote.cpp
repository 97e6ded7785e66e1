#include "tfrmmainremote.h"

#include "balloonhint.h"
#include "captions.h"
#include "displaymode.h"
#include "runmenu.h"
#include "runstate.h"
#include "stageplan.h"
#include "tfrmmain.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>

TfrmmainRemote::TfrmmainRemote(Tfrmmain& frm) : m_frm(frm) {
    // Every change of the run goes through a menu item, whoever clicked it; the check runs
    // once the command has finished, so a half-done command is never reported.
    RunMenu& menu = frm.Menu();
    QList<QAction*> items{menu.N_start, menu.N_pause, menu.N_stop,
                          menu.n_next,  menu.N_pri,   menu.N_set};
    for (QAction* a : menu.StageItems)
        items << a;
    for (QAction* a : items) {
        connect(a, &QAction::triggered, this, &TfrmmainRemote::scheduleCheck);
        connect(a, &QAction::changed, this, &TfrmmainRemote::scheduleCheck);
    }
    // The stop turns the start item into 清零 at once; the result is that stage's.
    connect(menu.N_start, &QAction::changed, this, &TfrmmainRemote::noteResult);
    noteResult();
    m_reported = status();
}

void TfrmmainRemote::noteResult() {
    if (!m_frm.Menu().InResult())
        m_resultStage = 0;
    else if (m_resultStage == 0)
        m_resultStage = m_frm.State().StageNo.toInt();
}

QAction* TfrmmainRemote::itemOf(RemoteCommand command) const {
    RunMenu& menu = m_frm.Menu();
    switch (command) {
    case RemoteCommand::Start:
        return menu.N_start;
    case RemoteCommand::Pause:
        return menu.N_pause;
    case RemoteCommand::Stop:
        return menu.N_stop;
    case RemoteCommand::Next:
        return menu.n_next;
    case RemoteCommand::Previous:
        return menu.N_pri;
    }
    return nullptr;
}

CommandOutcome TfrmmainRemote::run(RemoteCommand command) {
    QAction* item = itemOf(command);
    CommandOutcome outcome{CommandOutcome::Done, item->text()};
    // A dialog (the settings above all) expects the run to stay as it was while it is open.
    if (m_frm.IsClosed()) {
        outcome.result = CommandOutcome::Closed; // between its close and the program's end
    } else if (QApplication::activeModalWidget()) {
        outcome.result = CommandOutcome::Busy;
    } else if (!item->isEnabled()) {
        outcome.result = CommandOutcome::Disabled;
    } else {
        RunMenu::ClickItem(item);
    }
    return outcome;
}

RemoteStatus TfrmmainRemote::status() const {
    const RunState& S = m_frm.State();
    RunMenu& menu = m_frm.Menu();
    RemoteStatus s;
    s.displayMode = S.DisplayMode;
    s.stage = S.StageNo.toInt();
    if (!m_frm.IsClosed()) s.stageName = StageName(m_frm.Settings(), s.stage).trimmed();
    if (m_frm.Mode().EngineRunning())
        s.phase = RunPhase::Running;
    else if (menu.N_pause->isEnabled() && menu.IsPaused())
        s.phase = RunPhase::Paused;
    else if (S.DisplayMode == 0 && menu.InResult())
        s.phase = RunPhase::Result;

    s.countsUp = S.DisplayMode == 0 && S.CountUp;
    // A stage chosen after the stop has nothing used yet; the next start only resets.
    if (s.phase == RunPhase::Ready || (s.phase == RunPhase::Result && s.stage != m_resultStage)) {
        s.remainingSec = S.StdMin * 60 + S.StdSec;
        return s;
    }
    const RunTime t = m_frm.Mode().CountedTime();
    s.elapsedSec = int(t.elapsedSec);
    s.remainingSec = int(t.remainingSec);
    s.overtime = t.overtime;
    return s;
}

void TfrmmainRemote::scheduleCheck() {
    if (m_checkPending) return;
    m_checkPending = true;
    QTimer::singleShot(0, this, &TfrmmainRemote::check);
}

void TfrmmainRemote::check() {
    m_checkPending = false;
    const RemoteStatus now = status();
    const bool changed = now.phase != m_reported.phase || now.stage != m_reported.stage ||
                         now.stageName != m_reported.stageName;
    m_reported = now;
    if (changed) emit stateChanged();
}

void TfrmmainRemote::withoutHotkeys() {
    m_frm.HotkeyTimer()->stop();
}

void TfrmmainRemote::showNotice(const QString& text, int delayMs) {
    QTimer::singleShot(delayMs, this, [this, text] {
        BalloonHint* balloon = m_frm.Balloon();
        QString shown = text;
        if (balloon->isVisible() && !balloon->text().isEmpty())
            shown = balloon->text() + QStringLiteral("\r\n\r\n") + text;
        balloon->showMessage(&m_frm, Caption::Notice, shown, 50000);
    });
}
