#pragma once

#include <QWidget>
#include <array>

class PreviewHost;

// The page of the settings dialog that belongs to one display mode: 普通 (0), 进度条 (1),
// 提示窗 (2) or GIF (3). The dialog makes all four and shows only the running mode's tab;
// only that page is loaded, previews and is saved.
class ModeSettingsPage : public QWidget {
    Q_OBJECT
public:
    ModeSettingsPage(PreviewHost& host, QWidget* parent);

    // Fills the page's controls from js.ini (and from the window where a control shows the
    // window's state), in the page's own order.
    virtual void Load() = 0;
    // At the end of the dialog's loading, after the stage table and its total.
    virtual void Loaded() {}
    // Writes the page's keys in their order; a refused write throws SettingsWriteError
    // at that key, the keys before it staying written.
    virtual void Save() = 0;

protected:
    PreviewHost& Host() const { return m_host; }

private:
    PreviewHost& m_host;
};

// The four pages, indexed by display mode, children of parent.
std::array<ModeSettingsPage*, 4> CreateModeSettingsPages(PreviewHost& host, QWidget* parent);
