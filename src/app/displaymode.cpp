#include "displaymode.h"

#include "enginetimer.h"
#include "modehost.h"
#include "normalmode.h"
#include "progressmode.h"
#include "promptmode.h"
#include "runstate.h"

#include <QWidget>

DisplayMode::DisplayMode(ModeHost& host) : QObject(host.Window()), m_host(host) {}

DisplayMode::~DisplayMode() = default;

bool DisplayMode::EngineRunning() {
    const EngineTimer* engine = Engine();
    return engine && engine->IsActive();
}

RunTime DisplayMode::CountedTime() const {
    const RunState& s = m_host.State();
    const qint64 left = qint64(s.TotalSec) - s.ElapsedSec;
    return {s.ElapsedSec, left, left < 0};
}

bool DisplayMode::DragsWith(const QWidget*, Qt::MouseButton button) const {
    return button == Qt::LeftButton || button == Qt::MiddleButton;
}

void DisplayMode::ShutDown() {
    if (EngineTimer* engine = Engine()) engine->Stop();
}

std::unique_ptr<DisplayMode> CreateDisplayMode(int mode, ModeHost& host) {
    switch (mode) {
    case 0:
        return std::make_unique<NormalMode>(host);
    case 1:
        return std::make_unique<ProgressMode>(host);
    case 2:
        return std::make_unique<PromptMode>(host);
    default:
        return std::make_unique<NoDisplayMode>(host);
    }
}
