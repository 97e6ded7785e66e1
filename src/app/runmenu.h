#pragma once

#include "stageplan.h"

#include <QObject>
#include <array>

class QAction;
class QMenu;
class QWidget;

// The popup menu PMenu with its items, and the run state that their captions carry. Every
// source of a command (the menu itself, the hotkeys, the engines) runs it through
// ClickItem, so that a disabled item blocks all of them alike. The main window connects
// the items to its commands.
class RunMenu : public QObject {
    Q_OBJECT
public:
    explicit RunMenu(QWidget* window);

    QMenu* PMenu = nullptr;
    QAction* N_start = nullptr;
    QAction* N_pause = nullptr;
    QAction* N_stop = nullptr;
    QAction* n_next = nullptr;
    QAction* N_pri = nullptr;
    QMenu* N_jd = nullptr;                         // the stage submenu
    std::array<QAction*, StageCount> StageItems{}; // N11 ... N81, data 1 to 8
    QAction* N_set = nullptr;
    QAction* N_About = nullptr;
    QAction* N_help = nullptr;
    QAction* N_exit = nullptr;

    // Runs the item's command as a click in the menu does; a disabled item does nothing.
    static void ClickItem(QAction* item);

    // Display modes 0 and 2: start hides a running window and stop shows a hidden one, so
    // the items read "开始/隐藏" and "停止/显示" and start stays enabled while running.
    void SetHideShowRoles();

    // The two common settings of the items: at every start and at every stop.
    void EnterRunningMenu();
    void EnterStoppedMenu();

    // N_pause reads "继续" while a run is paused, "暂停" otherwise.
    bool IsPaused() const;
    void SetPaused(bool paused);

    // Normal mode after a stop: N_start reads "清零" until the reset.
    bool InResult() const;
    void SetResult();
    void ClearResult();

    // The stage submenu: captions and visibility from the stage names, and the default
    // (bold) item, of which there is one at a time.
    void LoadStageNames(const SettingsFile& file);
    void SetDefaultStage(int stage); // 1 to 8; other numbers leave the mark as it is

private:
    bool m_hideShow = false;
};
