#pragma once

#include "displaymode.h"
#include "enginetimer.h"
#include "progresslayout.h"
#include "stageplan.h"

#include <QString>
#include <array>

class ProgressFillBar;
class SettingsFile;
struct RunState;

// Display mode 1: the window is a thin bar docked along an edge of the screen. The main bar
// ProgressFill fills up as the stage runs; with [System] Total the plan row F1 ... F8 shows
// every stage by its time, the running one filling with the main bar. Owns the bars and the
// once-a-second engine Timer_progress. The window is never dragged and keeps no position:
// it stays docked. Run states Ready, Running and Paused.
class ProgressMode final : public DisplayMode {
    Q_OBJECT
public:
    explicit ProgressMode(ModeHost& host);
    ~ProgressMode() override;

    ProgressFillBar* ProgressFill = nullptr;              // tag 0
    std::array<ProgressFillBar*, StageCount> StageBars{}; // F1 ... F8, tags 1 to 8
    EngineTimer Timer_progress;                           // the engine, 1000 ms

    bool ShowTotal = false;          // [System] Total: the plan row
    bool ProgressFull = true;        // [Progress] Full: the window keeps its length
    bool Recycle = false;            // [Progress] Recycle: the stage starts again at its end
    BarEdge BarAlign = BarEdge::Top; // [Progress] Align

    void SetUp() override;
    void Reapply() override;
    void SetupStage() override;
    void MarkStageBars() override;
    void Start() override; // StartProgress
    void Pause() override;
    void Resume() override;
    void Stop() override; // StopProgress
    EngineTimer* Engine() override { return &Timer_progress; }
    bool DragsWith(const QWidget* component, Qt::MouseButton button) const override;
    PreviewSurfaces Surfaces() const override;

    void SetupProgressMode();
    void Timer_progressTimer(bool newSecond);
    void RestartProgress();

    // Where the window and the bars are when docked at full length.
    const BarLayout& Layout() const { return m_layout; }

private:
    void applyMainBarLook(const SettingsFile& f);
    void loadBitmap(const SettingsFile& f);
    void applyStageBarLook(const SettingsFile& f);
    void placeWindow(const QRect& window);
    void showStageNameIfChosen();
    ProgressFillBar* stageBarOf(const QString& stageNo) const;

    RunState& S;
    BarLayout m_layout;
    QString m_bitmapError; // the last one shown, so that a set-up repeats no message
};
