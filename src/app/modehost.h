#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;
class RunMenu;
class SettingsFile;
class WallClock;
struct RunState;
struct SettingKey;

// What a display mode may use of the main window, and all of it: the main window
// implements this, and a mode never sees the window's class.
class ModeHost {
public:
    virtual ~ModeHost() = default;

    virtual RunState& State() = 0;
    // The open js.ini. It lives until the window is destroyed, so a tick that goes on after
    // the program was closed inside it still reads its settings.
    virtual SettingsFile& Settings() = 0;
    virtual const WallClock& Clock() const = 0;
    // The window that the mode's components are put on. Its size is the mode's to set:
    // through FitWindow, or directly (the progress bars dock the window themselves).
    virtual QWidget* Window() = 0;
    // The popup menu, its items' enabled states and the captions that carry run state.
    // Commands are run through RunMenu::ClickItem.
    virtual RunMenu& Menu() = 0;

    // The window's colour, a colour value 0x00BBGGRR as js.ini stores it.
    virtual void SetBackground(qint32 colorValue) = 0;
    virtual qint32 Background() const = 0;
    // Showing makes the window visible with its appearance and brings it to the front; a
    // window already shown is only brought to the front. Hiding plays the disappearance.
    // After the window has closed both do nothing.
    virtual void ShowWindow() = 0;
    virtual void HideWindow() = 0;
    virtual bool IsShown() const = 0; // visible and not on its way out
    // Sizes the window to enclose its visible components plus margin pixels to the right
    // and below; the components keep their places (the same margin to the left and above
    // is theirs to keep).
    virtual void FitWindow(int margin) = 0;

    // Plays the sound file named by the key, read now; an empty name plays nothing and no
    // failure is ever reported.
    virtual void PlayCueOf(const SettingKey& key) = 0;
    // Gets the sound player ready when any of the start, alarm and over cues has a file;
    // called when a run starts, so that no cue in the middle of it waits for the back end.
    virtual void PrepareCues() = 0;

    // The window's caption (its taskbar text), which carries run state: "暂停", "实际用时:",
    // "超 时:" or nothing.
    virtual void SetCaption(const QString& text) = 0;
    virtual QString Caption() const = 0;

    // A modal message box titled "Pendra" (ShowMessage) or "提示" with a warning sign
    // (ShowWarning). Returns when it is closed. While a box is open, a further message is
    // not shown and the call returns at once, so boxes never stack. A box raised before the
    // window is first on the screen (during start-up) is shown once the window has
    // appeared, and the call returns at once.
    virtual void ShowMessage(const QString& text) = 0;
    virtual void ShowWarning(const QString& text) = 0;

    // Closes the main window, which ends the program. Safe inside a tick, whose remaining
    // steps may go on: the window is not shown again and no engine ticks again.
    virtual void CloseProgram() = 0;
    virtual bool IsClosed() const = 0;
};
