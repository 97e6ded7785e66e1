#pragma once

#include "remotetarget.h"

class QAction;
class Tfrmmain;

// Remote control's view of the main window: commands are clicks of the menu items, the
// state is read from RunState, the items' captions and the display mode's counted time.
// Also the two things the desktop set-up asks of the window: no hotkeys, and a notice.
class TfrmmainRemote final : public RemoteTarget {
    Q_OBJECT
public:
    explicit TfrmmainRemote(Tfrmmain& frm);

    CommandOutcome run(RemoteCommand command) override;
    RemoteStatus status() const override;

    // Where the window system has no global hotkeys: never try to register them.
    void withoutHotkeys();
    // Shows `text` in the window's balloon after `delayMs`, below a message already shown
    // there (the hotkey failures come about a second after start-up).
    void showNotice(const QString& text, int delayMs);

private:
    QAction* itemOf(RemoteCommand command) const;
    void scheduleCheck();
    void check();
    void noteResult();

    Tfrmmain& m_frm;
    RemoteStatus m_reported;
    bool m_checkPending = false;
    int m_resultStage = 0; // the stage whose result the clock shows, 0 outside Result
};
