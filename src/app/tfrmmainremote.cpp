#include "tfrmmainremote.h"

#include "balloonhint.h"
#include "captions.h"
#include "stageplan.h"
#include "tfrmmain.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>

TfrmmainRemote::TfrmmainRemote(Tfrmmain& frm) : m_frm(frm) {
    // Every change of the run goes through a menu item, whoever clicked it; the check runs
    // once the command has finished, so a half-done command is never reported.
    QList<QAction*> items{frm.N_start, frm.N_pause, frm.N_stop, frm.n_next, frm.N_pri, frm.N_set};
    for (QAction* a : frm.StageItems)
        items << a;
    for (QAction* a : items) {
        connect(a, &QAction::triggered, this, &TfrmmainRemote::scheduleCheck);
        connect(a, &QAction::changed, this, &TfrmmainRemote::scheduleCheck);
    }
    // The stop turns the start item into 清零 at once; the result is that stage's.
    connect(frm.N_start, &QAction::changed, this, &TfrmmainRemote::noteResult);
    noteResult();
    m_reported = status();
}

void TfrmmainRemote::noteResult() {
    if (m_frm.N_start->text() != Caption::Reset)
        m_resultStage = 0;
    else if (m_resultStage == 0)
        m_resultStage = m_frm.State.StageNo.toInt();
}

QAction* TfrmmainRemote::itemOf(RemoteCommand command) const {
    switch (command) {
    case RemoteCommand::Start:
        return m_frm.N_start;
    case RemoteCommand::Pause:
        return m_frm.N_pause;
    case RemoteCommand::Stop:
        return m_frm.N_stop;
    case RemoteCommand::Next:
        return m_frm.n_next;
    case RemoteCommand::Previous:
        return m_frm.N_pri;
    }
    return nullptr;
}

CommandOutcome TfrmmainRemote::run(RemoteCommand command) {
    QAction* item = itemOf(command);
    CommandOutcome outcome{CommandOutcome::Done, item->text()};
    // A dialog (the settings above all) expects the run to stay as it was while it is open.
    if (!m_frm.State.SettingsFile) {
        outcome.result = CommandOutcome::Closed; // between its close and the program's end
    } else if (QApplication::activeModalWidget()) {
        outcome.result = CommandOutcome::Busy;
    } else if (!item->isEnabled()) {
        outcome.result = CommandOutcome::Disabled;
    } else {
        Tfrmmain::ClickItem(item);
    }
    return outcome;
}

RemoteStatus TfrmmainRemote::status() const {
    const RunState& S = m_frm.State;
    RemoteStatus s;
    s.displayMode = S.DisplayMode;
    s.stage = S.StageNo.toInt();
    if (S.SettingsFile) s.stageName = StageName(*S.SettingsFile, s.stage).trimmed();
    if (m_frm.EngineRunning())
        s.phase = RunPhase::Running;
    else if (m_frm.N_pause->isEnabled() && m_frm.N_pause->text() == Caption::Continue)
        s.phase = RunPhase::Paused;
    else if (S.DisplayMode == 0 && m_frm.N_start->text() == Caption::Reset)
        s.phase = RunPhase::Result;

    const int standard = S.StdMin * 60 + S.StdSec;
    s.countsUp = S.DisplayMode == 0 && S.CountUp;
    // A stage chosen after the stop has nothing used yet; the next start only resets.
    if (s.phase == RunPhase::Ready || (s.phase == RunPhase::Result && s.stage != m_resultStage)) {
        s.remainingSec = standard;
        return s;
    }
    if (S.DisplayMode != 0) {
        s.elapsedSec = S.ElapsedSec;
        s.remainingSec = S.TotalSec - S.ElapsedSec;
        s.overtime = s.remainingSec < 0;
        return s;
    }
    // The normal mode's counter: the remaining time, then the overtime, when counting down;
    // the elapsed time when counting up, where 0:00 as the standard time means no limit.
    const int counter = S.CurMin * 60 + S.CurSec;
    if (s.countsUp) {
        s.elapsedSec = counter;
        s.remainingSec = standard > 0 ? standard - counter : 0;
        s.overtime = standard > 0 && counter >= standard;
    } else if (S.Overtime) {
        s.elapsedSec = standard + counter;
        s.remainingSec = -counter;
        s.overtime = true;
    } else {
        s.elapsedSec = standard - counter;
        s.remainingSec = counter;
    }
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
    m_frm.Timer_hotkey->stop();
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
