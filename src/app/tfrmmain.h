#pragma once

#include "runstate.h"

#include <QWidget>
#include <array>
#include <memory>

class QAction;
class QMenu;
class QTimer;
class QVariantAnimation;
class WallClock;
class SoundPlayer;
class GlobalHotkeys;
class HotkeySlots;
class BalloonHint;
class NormalMode;

// What the main window takes from outside. Tests pass a manual clock and observers; a
// missing service is created from the platform layer.
struct AppServices {
    const WallClock* clock = nullptr;
    SoundPlayer* sound = nullptr;
    GlobalHotkeys* hotkeys = nullptr;
};

// The main window: a borderless, always-on-top panel that runs one timing run in one of
// four display modes. It owns the run-time state, the settings file, the popup menu and
// the object of its display mode, which is created once at start-up.
class Tfrmmain : public QWidget {
    Q_OBJECT
public:
    explicit Tfrmmain(AppServices services = {}, QWidget* parent = nullptr);
    ~Tfrmmain() override;

    RunState State;

    // The popup menu and its items. Every source of a command (the menu, the hotkeys, the
    // engines) goes through ClickItem, so that a disabled item blocks them all alike.
    QMenu* PMenu = nullptr;
    QAction* N_start = nullptr;
    QAction* N_pause = nullptr;
    QAction* N_stop = nullptr;
    QAction* n_next = nullptr;
    QAction* N_pri = nullptr;
    QMenu* N_jd = nullptr;
    std::array<QAction*, 8> StageItems{}; // N11 ... N81, Tags 1 to 8
    QAction* N_set = nullptr;
    QAction* N_About = nullptr;
    QAction* N_help = nullptr;
    QAction* N_exit = nullptr;
    QTimer* Timer_hotkey = nullptr;

    static void ClickItem(QAction* item);

    // Run control.
    void N_startClick();
    void N_pauseClick();
    void N_stopClick();
    void n_nextClick();
    void N_priClick();
    void N81Click(int tag);
    void N_setClick();
    void N_AboutClick();
    void N_helpClick();
    void N_exitClick();
    void EnterRunningMenu();
    void EnterStoppedMenu();

    // Stage plan.
    void LoadStageNames();
    void SetupStage();
    void ResetClockTexts();
    void MarkStageBars();

    // Window shell.
    void RestorePosition();
    void SavePosition();
    void ShowWindow(); // makes the window visible and brings it to the front
    void HideWindow();
    bool IsShown() const; // visible and not on its way out
    void SetBackground(qint32 colorValue);
    qint32 Background() const { return m_background; }

    // Sound and hotkeys.
    void PlayCue(const QString& file);
    void PlayCueOf(const struct SettingKey& key);
    void PrepareCues();
    void RegisterHotkeys();
    void UnregisterHotkeys();
    void Timer_hotkeyTimer();

    const WallClock& Clock() const { return *m_clock; }
    NormalMode* Normal() const { return m_normal.get(); }
    BalloonHint* Balloon() const { return m_balloon; }
    bool EngineRunning() const;

signals:
    // The window has closed and released its resources; the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override; // FormClose
    void showEvent(QShowEvent* event) override;   // FormShow
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void CreateMenu();
    void ReadLabelTexts();
    void DragWindow(QMouseEvent* event);
    void Animate(bool appear);
    void showError(const QString& text);

    std::unique_ptr<WallClock> m_ownClock;
    std::unique_ptr<SoundPlayer> m_ownSound;
    std::unique_ptr<GlobalHotkeys> m_ownHotkeys;
    const WallClock* m_clock = nullptr;
    SoundPlayer* m_sound = nullptr;
    GlobalHotkeys* m_hotkeys = nullptr;
    std::unique_ptr<HotkeySlots> m_hotkeySlots;
    BalloonHint* m_balloon = nullptr;

    std::unique_ptr<NormalMode> m_normal;

    qint32 m_background = 15780518;
    QVariantAnimation* m_animation = nullptr;
    bool m_hiding = false;
    bool m_closed = false;
    // Manual move where the window system offers no move of its own.
    bool m_manualMove = false;
    QPoint m_moveOffset;
};
