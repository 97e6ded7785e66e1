#pragma once

#include <QObject>
#include <array>
#include <memory>

class AntiAliasedLabel;
class EngineTimer;
class ModeHost;
class ProgressFillBar;
class QLabel;
class QWidget;

// The time of the stage as the mode counts it, for those who read the run from outside the
// window (remote control).
struct RunTime {
    qint64 elapsedSec = 0;
    qint64 remainingSec = 0; // negative by the overtime
    bool overtime = false;   // the standard time is used up
};

// The components that the settings dialog previews on. Each is null outside its own mode.
struct PreviewSurfaces {
    AntiAliasedLabel* clockLabel = nullptr; // mode 0: AALabel
    // mode 1: ProgressFill, and F1 ... F8 of the plan row
    ProgressFillBar* mainBar = nullptr;
    std::array<ProgressFillBar*, 8> stageBars{};
    QLabel* promptLabel = nullptr; // mode 2: the two-line label l
};

// One way of presenting a run (0 clock, 1 progress bars, 2 prompt window, 3 GIF). The main
// window makes exactly one, at start-up, from [SYSTEM] StartMode, and runs its commands
// through it: everything that differs between the modes is here. A mode reaches the window
// only through its ModeHost. Every hook does nothing by default.
class DisplayMode : public QObject {
    Q_OBJECT
public:
    explicit DisplayMode(ModeHost& host); // a child of the host's window
    ~DisplayMode() override;

    // Modes 0 and 2: start hides a running window and stop shows a hidden one; start
    // stays enabled while running. The window asks this before Start and Stop.
    virtual bool HidesWhileRunning() const { return false; }
    // Modes 0, 2 and 3 open at the position saved at the last close; mode 1 docks itself.
    virtual bool UsesSavedPosition() const { return false; }

    // Start-up, after the stage names, the opacity and the caption texts are read and
    // before the saved position and the set-up of stage 1: makes the components visible,
    // reads the mode's settings, sizes the window.
    virtual void SetUp() {}
    // After the settings dialog, when stage 1 has been set up again and the caption texts
    // re-read: reads the mode's settings again and rebuilds the display.
    virtual void Reapply() {}
    // The mode's step of the stage set-up, after the standard and alarm times of the stage
    // StageNo are read (start-up, stage commands, after the settings dialog).
    virtual void SetupStage() {}
    // After a stage command has set up the new stage.
    virtual void MarkStageBars() {}

    // The run commands, whose menu items are clicked. Start: not called when the command
    // hides a running window instead. Pause and Resume: the window sets the caption of
    // N_pause, the enabled state of N_start and its own caption around them. Stop: not
    // called when the command shows a hidden window instead.
    virtual void Start() {}
    virtual void Pause() {}
    virtual void Resume() {}
    virtual void Stop() {}

    // The mode's engine timer; null for a mode without one. A run is counting exactly when
    // it is on; the stage commands act only while it is off.
    virtual EngineTimer* Engine() { return nullptr; }
    bool EngineRunning();
    // By default ElapsedSec of TotalSec, which the engines of modes 1 to 3 count.
    virtual RunTime CountedTime() const;

    // Whether a press of the button on the component drags the window; component is the
    // window's direct child under the mouse (the topmost), null for the window's own
    // surface. Only presses that the component leaves unhandled come here; the right button
    // never does (it opens the menu). By default the left and the middle button drag.
    virtual bool DragsWith(const QWidget* component, Qt::MouseButton button) const;

    virtual PreviewSurfaces Surfaces() const { return {}; }

    // The window has closed: stop every timer, so that nothing ticks any more.
    virtual void ShutDown();

protected:
    ModeHost& Host() const { return m_host; }

private:
    ModeHost& m_host;
};

// A [SYSTEM] StartMode outside 0 to 3: no components, no engine, and no command does
// anything of its own.
class NoDisplayMode final : public DisplayMode {
public:
    using DisplayMode::DisplayMode;
};

// The one place that knows which class presents which mode; any other value gets
// NoDisplayMode.
std::unique_ptr<DisplayMode> CreateDisplayMode(int mode, ModeHost& host);
