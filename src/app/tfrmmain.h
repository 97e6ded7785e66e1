#pragma once

#include "modehost.h"
#include "previewhost.h"
#include "runstate.h"
#include "singlemessagebox.h"

#include <QWidget>
#include <memory>

class QTimer;
class QVariantAnimation;
class WallClock;
class SoundPlayer;
class GlobalHotkeys;
class HotkeySlots;
class BalloonHint;
class DisplayMode;
class RunMenu;

// What the main window takes from outside. Tests pass a manual clock and observers; a
// missing service is created from the platform layer.
struct AppServices {
    const WallClock* clock = nullptr;
    SoundPlayer* sound = nullptr;
    GlobalHotkeys* hotkeys = nullptr;
};

// The main window: a borderless, always-on-top panel that runs one timing run in one of
// four display modes. It owns the run-time state, the settings file, the popup menu and
// the one display mode, made at start-up, and runs the commands of the menu through it.
// The modes see it as their ModeHost, the settings dialog as its PreviewHost.
class Tfrmmain : public QWidget, public ModeHost, public PreviewHost {
    Q_OBJECT
public:
    explicit Tfrmmain(AppServices services = {}, QWidget* parent = nullptr);
    ~Tfrmmain() override;

    // ModeHost, and the parts of it that PreviewHost shares.
    RunState& State() override { return m_state; }
    SettingsFile& Settings() override { return *m_settings; }
    const WallClock& Clock() const override { return *m_clock; }
    QWidget* Window() override { return this; }
    RunMenu& Menu() override { return *m_menu; }
    void SetBackground(qint32 colorValue) override;
    qint32 Background() const override { return m_background; }
    void ShowWindow() override;
    void HideWindow() override;
    bool IsShown() const override;
    void FitWindow(int margin) override;
    void PlayCueOf(const SettingKey& key) override;
    void PrepareCues() override;
    void SetCaption(const QString& text) override;
    QString Caption() const override;
    void ShowMessage(const QString& text) override;
    void ShowWarning(const QString& text) override;
    void CloseProgram() override;
    bool IsClosed() const override { return m_closed; }

    // PreviewHost.
    int Opacity() const override;
    void SetOpacity(int alpha) override;
    PreviewSurfaces Surfaces() const override;

    // For tests: the mode, the balloon of the hotkey failures, the hotkeys' one-shot timer.
    DisplayMode& Mode() const { return *m_mode; }
    BalloonHint* Balloon() const { return m_balloon; }
    QTimer* HotkeyTimer() const { return Timer_hotkey; }

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
    enum class CloseErrorShown { Now, Later };
    void FormClose(CloseErrorShown when);
    void ConnectMenu();
    void ReadLabelTexts();
    void SetupStage();

    // Run control: the items' click handlers.
    void N_startClick();
    void N_pauseClick();
    void N_stopClick();
    void n_nextClick();
    void N_priClick();
    void N81Click(int tag);
    void N_setClick();
    void RunSettingsDialog();
    void N_AboutClick();
    void N_helpClick();
    void N_exitClick();

    // Window shell.
    void RestorePosition();
    void SavePosition();
    void DragWindow(QMouseEvent* event);
    QWidget* ComponentAt(QPoint point) const;
    void Animate(bool appear);
    void RepaintAllControls();
    void ShowBox(QMessageBox::Icon icon, const QString& title, const QString& text);
    void ShowPendingBoxes();

    // Hotkeys.
    void RegisterHotkeys();
    void UnregisterHotkeys();
    void Timer_hotkeyTimer();

    RunState m_state;
    std::unique_ptr<SettingsFile> m_settings;
    std::unique_ptr<WallClock> m_ownClock;
    std::unique_ptr<SoundPlayer> m_ownSound;
    std::unique_ptr<GlobalHotkeys> m_ownHotkeys;
    const WallClock* m_clock = nullptr;
    SoundPlayer* m_sound = nullptr;
    GlobalHotkeys* m_hotkeys = nullptr;
    std::unique_ptr<HotkeySlots> m_hotkeySlots;
    BalloonHint* m_balloon = nullptr;
    RunMenu* m_menu = nullptr;
    QTimer* Timer_hotkey = nullptr;
    SingleMessageBox m_messageBox;
    struct PendingBox {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        bool operator==(const PendingBox&) const = default;
    };
    QList<PendingBox> m_pendingBoxes; // raised before the window was first shown
    bool m_shownOnce = false;

    std::unique_ptr<DisplayMode> m_mode;

    qint32 m_background = 15780518;
    QVariantAnimation* m_animation = nullptr;
    bool m_hiding = false;
    bool m_closed = false;
    // Manual move where the window system offers no move of its own.
    bool m_manualMove = false;
    QPoint m_moveOffset;
};
