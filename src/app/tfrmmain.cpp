#include "tfrmmain.h"

#include "balloonhint.h"
#include "captions.h"
#include "colors.h"
#include "displaymode.h"
#include "globalhotkeys.h"
#include "hotkeyslots.h"
#include "platform.h"
#include "runmenu.h"
#include "settingkeys.h"
#include "settingsfile.h"
#include "shell.h"
#include "soundplayer.h"
#include "stageplan.h"
#include "tfrm_about.h"
#include "tfrm_setsys.h"
#include "wallclock.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVariantAnimation>
#include <QWindow>

namespace {
constexpr int ShowMs = 200;
constexpr int HideMs = 400;
const QString ProgramTitle = QStringLiteral("Pendra");
} // namespace

Tfrmmain::Tfrmmain(AppServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmmain"));
    if (services.clock) {
        m_clock = services.clock;
    } else {
        m_ownClock = std::make_unique<SystemWallClock>();
        m_clock = m_ownClock.get();
    }
    if (services.sound) {
        m_sound = services.sound;
    } else {
        m_ownSound = CreateSoundPlayer();
        m_sound = m_ownSound.get();
    }
    if (services.hotkeys) {
        m_hotkeys = services.hotkeys;
    } else {
        m_ownHotkeys = CreateGlobalHotkeys();
        m_hotkeys = m_ownHotkeys.get();
    }
    resize(669, 177);
    setAutoFillBackground(true);
    // Its hints show while the user works in another program, which is when they are read.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    SetBackground(m_background);
    m_menu = new RunMenu(this);
    ConnectMenu();
    m_balloon = new BalloonHint(this);

    // Hotkeys are registered once the window is on the screen and the loop runs.
    Timer_hotkey = new QTimer(this);
    Timer_hotkey->setObjectName(QStringLiteral("Timer_hotkey"));
    Timer_hotkey->setInterval(1000);
    connect(Timer_hotkey, &QTimer::timeout, this, &Tfrmmain::Timer_hotkeyTimer);
    Timer_hotkey->start();

    FormCreate();
}

Tfrmmain::~Tfrmmain() {
    if (!m_closed) FormClose(CloseErrorShown::Now);
}

void Tfrmmain::ConnectMenu() {
    RunMenu& m = *m_menu;
    connect(m.N_start, &QAction::triggered, this, &Tfrmmain::N_startClick);
    connect(m.N_pause, &QAction::triggered, this, &Tfrmmain::N_pauseClick);
    connect(m.N_stop, &QAction::triggered, this, &Tfrmmain::N_stopClick);
    connect(m.n_next, &QAction::triggered, this, &Tfrmmain::n_nextClick);
    connect(m.N_pri, &QAction::triggered, this, &Tfrmmain::N_priClick);
    for (int tag = 1; tag <= StageCount; ++tag)
        connect(m.StageItems[tag - 1], &QAction::triggered, this, [this, tag] { N81Click(tag); });
    connect(m.N_set, &QAction::triggered, this, &Tfrmmain::N_setClick);
    connect(m.N_About, &QAction::triggered, this, &Tfrmmain::N_AboutClick);
    connect(m.N_help, &QAction::triggered, this, &Tfrmmain::N_helpClick);
    connect(m.N_exit, &QAction::triggered, this, &Tfrmmain::N_exitClick);
}

void Tfrmmain::FormCreate() {
    m_state.WorkDir = QDir::currentPath();
    m_settings =
        std::make_unique<SettingsFile>(QDir(m_state.WorkDir).filePath(QStringLiteral("js.ini")));
    const SettingsFile& f = *m_settings;
    m_menu->LoadStageNames(f);
    m_state.AutoNext = ReadFlag(f, Key::AutoNext);
    m_state.DisplayMode = ReadInt(f, Key::StartMode);
    // Only the components of the display mode are ever created.
    m_mode = CreateDisplayMode(m_state.DisplayMode, *this);
    setWindowOpacity((ReadInt(f, Key::TransParent) & 0xFF) / 255.0);
    ReadLabelTexts();
    if (m_mode->HidesWhileRunning()) m_menu->SetHideShowRoles();
    m_mode->SetUp();
    if (m_mode->UsesSavedPosition()) RestorePosition();
    m_menu->SetDefaultStage(1);
    SetupStage();
}

void Tfrmmain::ReadLabelTexts() {
    const SettingsFile& f = *m_settings;
    m_state.ElapseLabel = ReadText(f, Key::Elapse);
    m_state.RemainLabel = ReadText(f, Key::Remain);
    m_state.OverLabel = ReadText(f, Key::Over);
    m_state.StandardLabel = ReadText(f, Key::Standard);
    m_state.AlarmLabel = ReadText(f, Key::Alarm);
    m_state.PercentLabel = ReadText(f, Key::Per);
}

// ---- stage plan ----

void Tfrmmain::SetupStage() {
    const SettingsFile& f = *m_settings;
    const int n = m_state.StageNo.toInt();
    const TimeText std = StageTime(f, n);
    if (std.present) {
        m_state.StdMin = std.minutes;
        m_state.StdSec = std.seconds;
    }
    // A stage without an alarm time gets 0:00, which no engine takes for an alarm moment.
    const TimeText alarm = StageAlarm(f, n);
    m_state.AlarmMin = alarm.minutes;
    m_state.AlarmSec = alarm.seconds;
    m_menu->SetDefaultStage(n);
    m_mode->SetupStage();
}

// ---- run control ----

void Tfrmmain::N_startClick() {
    if (m_mode->HidesWhileRunning() && m_mode->EngineRunning())
        HideWindow();
    else
        m_mode->Start();
    SetCaption(QString());
}

void Tfrmmain::N_pauseClick() {
    if (m_menu->IsPaused()) {
        m_menu->SetPaused(false);
        m_mode->Resume();
    } else {
        m_mode->Pause();
        m_menu->SetPaused(true);
    }
    const bool running = !m_menu->IsPaused();
    m_menu->N_start->setEnabled(running);
    SetCaption(running ? QString() : Caption::Pause);
}

void Tfrmmain::N_stopClick() {
    if (m_mode->HidesWhileRunning() && !IsShown()) {
        ShowWindow();
        return;
    }
    m_mode->Stop();
}

void Tfrmmain::n_nextClick() {
    if (m_mode->EngineRunning()) return;
    m_state.StageNo = NextStageNo(*m_settings, m_state.StageNo);
    SetupStage();
    m_mode->MarkStageBars();
}

void Tfrmmain::N_priClick() {
    if (m_mode->EngineRunning()) return;
    m_state.StageNo = PreviousStageNo(*m_settings, m_state.StageNo);
    SetupStage();
    m_mode->MarkStageBars();
}

void Tfrmmain::N81Click(int tag) {
    if (m_mode->EngineRunning() || m_state.StageNo == QString::number(tag)) return;
    m_state.StageNo = QString::number(tag);
    m_menu->SetDefaultStage(tag);
    SetupStage();
    m_mode->MarkStageBars();
}

void Tfrmmain::N_setClick() {
    RunSettingsDialog();
    // The settings are read again from js.ini, so a file edited meanwhile takes effect.
    if (ReadInt(*m_settings, Key::StartMode) != m_state.DisplayMode) {
        CloseProgram();
        return;
    }
    m_state.StageNo = QStringLiteral("1");
    SetupStage();
    ReadLabelTexts();
    m_mode->Reapply();
    if (m_state.HotkeyChanged) {
        UnregisterHotkeys();
        RegisterHotkeys();
    }
}

// A new dialog for every opening, so that nothing of an earlier one is carried over.
void Tfrmmain::RunSettingsDialog() {
    // A hotkey or a remote command must not start a run behind the dialog: the re-apply
    // after it rebuilds the display from stage 1 and expects no engine running.
    RunMenu& m = *m_menu;
    const std::array<QAction*, 5> commands{m.N_start, m.N_pause, m.N_stop, m.n_next, m.N_pri};
    std::array<bool, 5> enabled{};
    for (size_t i = 0; i < commands.size(); ++i) {
        enabled[i] = commands[i]->isEnabled();
        commands[i]->setEnabled(false);
    }
    {
        Tfrm_setsys dialog(*this, this);
        dialog.exec();
    }
    for (size_t i = 0; i < commands.size(); ++i)
        commands[i]->setEnabled(enabled[i]);
}

void Tfrmmain::N_AboutClick() {
    Tfrm_about about(this);
    about.exec();
}

void Tfrmmain::N_helpClick() {
    const QString help = QDir::current().filePath(QStringLiteral("Pendra.chm"));
    if (QFileInfo(help).isFile()) {
        OpenWithDefaultApp(help);
        return;
    }
    ShowWarning(QStringLiteral("帮助文件不存在，请重新安装！"));
}

void Tfrmmain::N_exitClick() {
    CloseProgram();
}

// ---- sound and hotkeys ----

void Tfrmmain::PlayCueOf(const SettingKey& key) {
    // Read at the moment of the cue, so a sound chosen meanwhile is used at once.
    const QString file = ReadText(*m_settings, key);
    if (!file.isEmpty()) m_sound->play(file);
}

// A run with sounds gets the player ready at its start, so that a cue in the middle of the
// run does not wait for the media back end; a timer without sounds never loads it.
void Tfrmmain::PrepareCues() {
    const SettingsFile& f = *m_settings;
    for (const SettingKey* key : {&Key::Sound_Start, &Key::Sound_Alarm, &Key::Sound_Over}) {
        if (!ReadText(f, *key).trimmed().isEmpty()) {
            m_sound->prepare();
            return;
        }
    }
}

void Tfrmmain::Timer_hotkeyTimer() {
    Timer_hotkey->stop();
    RegisterHotkeys();
}

void Tfrmmain::RegisterHotkeys() {
    if (!m_hotkeySlots) {
        RunMenu& m = *m_menu;
        m_hotkeySlots = std::make_unique<HotkeySlots>(
            *m_hotkeys, std::array<QAction*, 5>{m.N_start, m.N_pause, m.N_stop, m.N_pri, m.n_next});
    }
    const QString failures = m_hotkeySlots->RegisterHotkeys(*m_settings);
    if (failures.isEmpty()) return;
    m_state.HotkeyMessage = failures;
    m_balloon->showMessage(this, Caption::Notice, HotkeySlots::BalloonText(m_state.HotkeyMessage),
                           50000);
}

void Tfrmmain::UnregisterHotkeys() {
    if (m_hotkeySlots) m_hotkeySlots->UnregisterHotkeys();
}

// ---- window shell ----

void Tfrmmain::SetBackground(qint32 colorValue) {
    m_background = colorValue;
    QPalette p = palette();
    p.setColor(QPalette::Window, ColorFromValue(colorValue, QColor(0xA6, 0xCA, 0xF0)));
    setPalette(p);
}

void Tfrmmain::SetCaption(const QString& text) {
    setWindowTitle(text);
}

QString Tfrmmain::Caption() const {
    return windowTitle();
}

int Tfrmmain::Opacity() const {
    return qRound(windowOpacity() * 255);
}

void Tfrmmain::SetOpacity(int alpha) {
    setWindowOpacity(qBound(0, alpha, 255) / 255.0);
}

PreviewSurfaces Tfrmmain::Surfaces() const {
    return m_mode->Surfaces();
}

void Tfrmmain::FitWindow(int margin) {
    // Hidden components and windows of their own (the menu, the balloon) do not count.
    const QRect r = childrenRect();
    resize(r.x() + r.width() + margin, r.y() + r.height() + margin);
}

void Tfrmmain::ShowMessage(const QString& text) {
    ShowBox(QMessageBox::NoIcon, ProgramTitle, text);
}

void Tfrmmain::ShowWarning(const QString& text) {
    ShowBox(QMessageBox::Warning, Caption::Notice, text);
}

// A box raised while the window is being made (a bad picture at start-up) waits until the
// window is on the screen: before, it would stand alone in mid-screen, and the hotkey
// balloon would point at a window that is not there yet.
void Tfrmmain::ShowBox(QMessageBox::Icon icon, const QString& title, const QString& text) {
    if (!m_shownOnce) {
        const PendingBox box{icon, title, text};
        if (!m_pendingBoxes.contains(box)) m_pendingBoxes.append(box);
        return;
    }
    m_messageBox.Show(this, icon, title, text);
}

void Tfrmmain::ShowPendingBoxes() {
    const QList<PendingBox> boxes = std::exchange(m_pendingBoxes, {});
    for (const PendingBox& box : boxes) {
        if (m_closed) return;
        m_messageBox.Show(this, box.icon, box.title, box.text);
    }
}

void Tfrmmain::RestorePosition() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const SettingsFile& f = *m_settings;
    int left = ReadInt(f, Key::Left, m_state.DisplayMode, screen.width() * 2 / 5);
    if (left < 0 || left > screen.width()) left = 0;
    int top = ReadInt(f, Key::Top, m_state.DisplayMode, screen.height() * 2 / 5);
    if (top < 0 || top > screen.height()) top = 0;
    move(left, top);
}

void Tfrmmain::SavePosition() {
    WriteInt(*m_settings, Key::Left, x(), m_state.DisplayMode);
    WriteInt(*m_settings, Key::Top, y(), m_state.DisplayMode);
}

bool Tfrmmain::IsShown() const {
    return isVisible() && !m_hiding;
}

void Tfrmmain::ShowWindow() {
    // A tick that closed the program may go on and ask for the window: it stays closed.
    if (m_closed) return;
    if (m_hiding) {
        // Shown again while on its way out: it simply stays.
        m_animation->stop();
        m_hiding = false;
        clearMask();
        RepaintAllControls();
    }
    if (!isVisible()) show(); // showEvent plays the appearance
    raise();
}

void Tfrmmain::HideWindow() {
    if (m_closed || !IsShown()) return;
    m_hiding = true;
    Animate(false);
}

void Tfrmmain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Animate(true);
    RepaintAllControls();
    // A window that takes no focus (the docked bar) is not made the active one either.
    if (!windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus)) activateWindow();
    if (!m_shownOnce) {
        m_shownOnce = true;
        // Over the window once it has appeared.
        if (!m_pendingBoxes.isEmpty())
            QTimer::singleShot(ShowMs, this, &Tfrmmain::ShowPendingBoxes);
    }
}

namespace {
void repaintTree(QWidget* widget) {
    widget->update();
    for (QObject* child : widget->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !w->isWindow()) repaintTree(w);
    }
}
} // namespace

// The window and every component on it, depth first: a component that paints itself
// opaquely is left out of its parent's repaint.
void Tfrmmain::RepaintAllControls() {
    repaintTree(this);
}

// Appearance growing from the centre, disappearance shrinking to it, drawn by a mask.
void Tfrmmain::Animate(bool appear) {
    // Only X11 shapes windows; elsewhere the window simply appears and disappears.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        if (!appear) {
            m_hiding = false;
            hide();
        }
        return;
    }
    if (!m_animation) {
        m_animation = new QVariantAnimation(this);
        connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
            const double k = v.toDouble();
            const int w = std::max(1, int(width() * k));
            const int h = std::max(1, int(height() * k));
            setMask(QRect((width() - w) / 2, (height() - h) / 2, w, h));
            // What a step uncovers may never have been painted since the window was last
            // on the screen: Qt clips a window's repaint to its mask, and a growing mask
            // only brings back what the window drew before it was hidden.
            RepaintAllControls();
        });
        connect(m_animation, &QVariantAnimation::finished, this, [this] {
            clearMask();
            RepaintAllControls();
            if (m_hiding) {
                m_hiding = false;
                hide();
            }
        });
    }
    m_animation->stop();
    m_animation->setDuration(appear ? ShowMs : HideMs);
    m_animation->setStartValue(appear ? 0.0 : 1.0);
    m_animation->setEndValue(appear ? 1.0 : 0.0);
    m_animation->start();
}

void Tfrmmain::mousePressEvent(QMouseEvent* event) {
    // The right button belongs to the popup menu; the mode says which of its components
    // drag with which of the others.
    if (event->button() == Qt::RightButton) return;
    if (m_mode->DragsWith(ComponentAt(event->position().toPoint()), event->button()))
        DragWindow(event);
}

// The window's visible child under the point, the topmost first; null for the window's own
// surface. Not QWidget::childAt, which misses every child while the appearance's mask is
// still small.
QWidget* Tfrmmain::ComponentAt(QPoint point) const {
    const QObjectList& objects = children();
    for (auto it = objects.crbegin(); it != objects.crend(); ++it) {
        auto* w = qobject_cast<QWidget*>(*it);
        if (w && !w->isWindow() && !w->isHidden() && w->geometry().contains(point)) return w;
    }
    return nullptr;
}

void Tfrmmain::DragWindow(QMouseEvent* event) {
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    m_manualMove = true;
    m_moveOffset = event->globalPosition().toPoint() - pos();
    grabMouse();
}

void Tfrmmain::mouseMoveEvent(QMouseEvent* event) {
    if (m_manualMove) move(event->globalPosition().toPoint() - m_moveOffset);
}

void Tfrmmain::mouseReleaseEvent(QMouseEvent*) {
    if (m_manualMove) {
        m_manualMove = false;
        releaseMouse();
    }
}

void Tfrmmain::contextMenuEvent(QContextMenuEvent* event) {
    m_menu->PMenu->popup(event->globalPos());
}

void Tfrmmain::CloseProgram() {
    close();
}

void Tfrmmain::closeEvent(QCloseEvent* event) {
    if (!m_closed) FormClose(CloseErrorShown::Later);
    event->accept();
}

void Tfrmmain::FormClose(CloseErrorShown when) {
    m_closed = true;
    Timer_hotkey->stop();
    if (m_mode) m_mode->ShutDown();
    QString error;
    try {
        SavePosition();
    } catch (const SettingsWriteError& e) {
        error = QString::fromStdString(e.what());
    }
    // The settings file stays open until the window is destroyed: a tick that closed the
    // program inside it goes on reading its settings.
    UnregisterHotkeys();
    m_balloon->hide();
    if (error.isEmpty()) {
        emit closed();
        return;
    }
    // The program ends all the same, once the user has seen why the position is lost. The
    // box comes when the close itself is over and the window is gone, whoever closed it
    // (the exit command, a tick, the window manager), so that nothing covers it and no
    // close handling runs around its event loop.
    const auto report = [this, error] {
        m_messageBox.Show(this, QMessageBox::Critical, ProgramTitle, error);
        emit closed();
    };
    if (when == CloseErrorShown::Now)
        report();
    else
        QMetaObject::invokeMethod(this, report, Qt::QueuedConnection);
}
