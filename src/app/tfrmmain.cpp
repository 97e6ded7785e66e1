#include "tfrmmain.h"

#include "antialiasedlabel.h"
#include "balloonhint.h"
#include "captions.h"
#include "colors.h"
#include "globalhotkeys.h"
#include "hotkeyslots.h"
#include "normalmode.h"
#include "platform.h"
#include "settingkeys.h"
#include "shell.h"
#include "soundplayer.h"
#include "stageplan.h"
#include "tfrm_about.h"
#include "wallclock.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVariantAnimation>
#include <QWindow>

namespace {
constexpr int ShowMs = 200;
constexpr int HideMs = 400;
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
    SetBackground(m_background);
    CreateMenu();
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
    if (!m_closed) FormClose();
}

void Tfrmmain::CreateMenu() {
    PMenu = new QMenu(this);
    PMenu->setObjectName(QStringLiteral("PMenu"));
    const auto item = [this](QMenu* menu, const char* name, const QString& caption, auto handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    N_start = item(PMenu, "N_start", Caption::Start, &Tfrmmain::N_startClick);
    N_pause = item(PMenu, "N_pause", Caption::Pause, &Tfrmmain::N_pauseClick);
    N_pause->setEnabled(false);
    N_stop = item(PMenu, "N_stop", Caption::Stop, &Tfrmmain::N_stopClick);
    N_stop->setEnabled(false);
    PMenu->addSeparator();
    n_next = item(PMenu, "n_next", QStringLiteral("下一阶段"), &Tfrmmain::n_nextClick);
    N_pri = item(PMenu, "N_pri", QStringLiteral("上一阶段"), &Tfrmmain::N_priClick);
    N_jd = PMenu->addMenu(QStringLiteral("阶段"));
    N_jd->setObjectName(QStringLiteral("N_jd"));
    for (int tag = 1; tag <= StageCount; ++tag) {
        QAction* a = N_jd->addAction(QString::number(tag));
        a->setObjectName(QStringLiteral("N%11").arg(tag));
        a->setData(tag);
        connect(a, &QAction::triggered, this, [this, tag] { N81Click(tag); });
        StageItems[tag - 1] = a;
    }
    PMenu->addSeparator();
    N_set = item(PMenu, "N_set", QStringLiteral("设置"), &Tfrmmain::N_setClick);
    PMenu->addSeparator();
    N_About = item(PMenu, "N_About", QStringLiteral("关于"), &Tfrmmain::N_AboutClick);
    N_help = item(PMenu, "N_help", QStringLiteral("帮助"), &Tfrmmain::N_helpClick);
    N_exit = item(PMenu, "N_exit", QStringLiteral("退出"), &Tfrmmain::N_exitClick);
}

void Tfrmmain::ClickItem(QAction* item) {
    if (item && item->isEnabled()) item->trigger();
}

void Tfrmmain::FormCreate() {
    State.WorkDir = QDir::currentPath();
    State.SettingsFile =
        std::make_unique<SettingsFile>(QDir(State.WorkDir).filePath(QStringLiteral("js.ini")));
    const SettingsFile& f = *State.SettingsFile;
    State.SepText = QStringLiteral(":");
    LoadStageNames();
    State.AutoNext = ReadFlag(f, Key::AutoNext);
    State.DisplayMode = ReadInt(f, Key::StartMode);
    // Only the components of the display mode are ever created.
    if (State.DisplayMode == 0) m_normal = std::make_unique<NormalMode>(*this);
    setWindowOpacity((ReadInt(f, Key::TransParent) & 0xFF) / 255.0);
    ReadLabelTexts();
    switch (State.DisplayMode) {
    case 0:
        m_normal->AALabel->show();
        resize(m_normal->AALabel->width() + 5, height());
        m_normal->SetupNormalMode();
        N_start->setText(Caption::StartHide);
        N_stop->setText(Caption::StopShow);
        RestorePosition();
        break;
    case 2:
        N_start->setText(Caption::StartHide);
        N_stop->setText(Caption::StopShow);
        RestorePosition();
        break;
    case 3:
        RestorePosition();
        break;
    default:
        break;
    }
    N_jd->setDefaultAction(StageItems[0]);
    SetupStage();
}

void Tfrmmain::ReadLabelTexts() {
    const SettingsFile& f = *State.SettingsFile;
    State.ElapseLabel = ReadText(f, Key::Elapse);
    State.RemainLabel = ReadText(f, Key::Remain);
    State.OverLabel = ReadText(f, Key::Over);
    State.StandardLabel = ReadText(f, Key::Standard);
    State.AlarmLabel = ReadText(f, Key::Alarm);
    State.PercentLabel = ReadText(f, Key::Per);
}

// ---- stage plan ----

void Tfrmmain::LoadStageNames() {
    for (int n = 1; n <= StageCount; ++n) {
        QAction* a = StageItems[n - 1];
        a->setText(StageMenuCaption(*State.SettingsFile, n));
        a->setVisible(StageMenuVisible(a->text(), n));
    }
}

void Tfrmmain::SetupStage() {
    const SettingsFile& f = *State.SettingsFile;
    const int n = State.StageNo.toInt();
    const TimeText std = StageTime(f, n);
    if (std.present) {
        State.StdMin = std.minutes;
        State.StdSec = std.seconds;
    }
    // A stage without an alarm time has the alarm 0:00, which never fires in a count-down.
    const TimeText alarm = StageAlarm(f, n);
    State.AlarmMin = alarm.minutes;
    State.AlarmSec = alarm.seconds;
    if (n >= 1 && n <= StageCount) N_jd->setDefaultAction(StageItems[n - 1]);
    switch (State.DisplayMode) {
    case 0:
        ResetClockTexts();
        m_normal->RefreshClock();
        break;
    default:
        break;
    }
}

void Tfrmmain::ResetClockTexts() {
    if (State.CountUp)
        State.SetClockTexts(0, 0);
    else
        State.SetClockTexts(State.StdMin, State.StdSec);
}

void Tfrmmain::MarkStageBars() {
    // Only the progress-bar mode has per-stage bars.
}

// ---- run control ----

bool Tfrmmain::EngineRunning() const {
    switch (State.DisplayMode) {
    case 0:
        return m_normal->Timer1->isActive();
    default:
        return false;
    }
}

void Tfrmmain::EnterRunningMenu() {
    N_start->setEnabled(State.DisplayMode == 0 || State.DisplayMode == 2);
    N_pause->setEnabled(true);
    N_stop->setEnabled(true);
    N_set->setEnabled(false);
    n_next->setEnabled(false);
    N_pri->setEnabled(false);
    N_jd->setEnabled(false);
}

void Tfrmmain::EnterStoppedMenu() {
    N_start->setEnabled(true);
    N_pause->setText(Caption::Pause);
    N_pause->setEnabled(false);
    N_stop->setEnabled(false);
    N_set->setEnabled(true);
    n_next->setEnabled(true);
    N_pri->setEnabled(true);
    N_jd->setEnabled(true);
}

void Tfrmmain::N_startClick() {
    switch (State.DisplayMode) {
    case 0:
        m_normal->StartNormal();
        break;
    default:
        break;
    }
    setWindowTitle(QString());
}

void Tfrmmain::N_pauseClick() {
    switch (State.DisplayMode) {
    case 0:
        m_normal->PauseNormal();
        break;
    default:
        break;
    }
    const bool running = N_pause->text() == Caption::Pause;
    N_start->setEnabled(running);
    setWindowTitle(running ? QString() : Caption::Pause);
}

void Tfrmmain::N_stopClick() {
    switch (State.DisplayMode) {
    case 0:
        m_normal->StopNormal();
        break;
    default:
        break;
    }
}

void Tfrmmain::n_nextClick() {
    if (EngineRunning()) return;
    State.StageNo = NextStageNo(*State.SettingsFile, State.StageNo);
    SetupStage();
    MarkStageBars();
}

void Tfrmmain::N_priClick() {
    if (EngineRunning()) return;
    State.StageNo = PreviousStageNo(*State.SettingsFile, State.StageNo);
    SetupStage();
    MarkStageBars();
}

void Tfrmmain::N81Click(int tag) {
    if (EngineRunning() || State.StageNo == QString::number(tag)) return;
    State.StageNo = QString::number(tag);
    N_jd->setDefaultAction(StageItems[tag - 1]);
    SetupStage();
    MarkStageBars();
}

void Tfrmmain::N_setClick() {
    // The settings are read again from js.ini, so a file edited meanwhile takes effect.
    const SettingsFile& f = *State.SettingsFile;
    if (ReadInt(f, Key::StartMode) != State.DisplayMode) {
        close();
        return;
    }
    State.StageNo = QStringLiteral("1");
    SetupStage();
    ReadLabelTexts();
    if (State.DisplayMode == 0) {
        m_normal->SetupNormalMode();
        ResetClockTexts();
        m_normal->RefreshClock();
    }
    if (State.HotkeyChanged) {
        UnregisterHotkeys();
        RegisterHotkeys();
    }
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
    QMessageBox::warning(this, Caption::Notice, QStringLiteral("帮助文件不存在，请重新安装！"));
}

void Tfrmmain::N_exitClick() {
    close();
}

// ---- sound and hotkeys ----

void Tfrmmain::PlayCue(const QString& file) {
    if (!file.isEmpty()) m_sound->play(file);
}

void Tfrmmain::PlayCueOf(const SettingKey& key) {
    // Read at the moment of the cue, so a sound chosen meanwhile is used at once.
    PlayCue(ReadText(*State.SettingsFile, key));
}

// A run with sounds gets the player ready at its start, so that a cue in the middle of the
// run does not wait for the media back end; a timer without sounds never loads it.
void Tfrmmain::PrepareCues() {
    const SettingsFile& f = *State.SettingsFile;
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
    if (!m_hotkeySlots)
        m_hotkeySlots = std::make_unique<HotkeySlots>(
            *m_hotkeys, std::array<QAction*, 5>{N_start, N_pause, N_stop, N_pri, n_next});
    const QString failures = m_hotkeySlots->RegisterHotkeys(*State.SettingsFile);
    if (failures.isEmpty()) return;
    State.HotkeyMessage = failures;
    m_balloon->showMessage(this, Caption::Notice, HotkeySlots::BalloonText(failures), 50000);
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

void Tfrmmain::RestorePosition() {
    const QString mode = QString::number(State.DisplayMode);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const SettingsFile& f = *State.SettingsFile;
    int left = ReadInt(f, Key::Left, State.DisplayMode, screen.width() * 2 / 5);
    if (left < 0 || left > screen.width()) left = 0;
    int top = ReadInt(f, Key::Top, State.DisplayMode, screen.height() * 2 / 5);
    if (top < 0 || top > screen.height()) top = 0;
    move(left, top);
}

void Tfrmmain::SavePosition() {
    WriteInt(*State.SettingsFile, Key::Left, x(), State.DisplayMode);
    WriteInt(*State.SettingsFile, Key::Top, y(), State.DisplayMode);
}

bool Tfrmmain::IsShown() const {
    return isVisible() && !m_hiding;
}

void Tfrmmain::ShowWindow() {
    if (m_hiding) {
        // Shown again while on its way out: it simply stays.
        m_animation->stop();
        m_hiding = false;
        clearMask();
    }
    if (!isVisible()) show(); // showEvent plays the appearance
    raise();
}

void Tfrmmain::HideWindow() {
    if (!IsShown()) return;
    m_hiding = true;
    Animate(false);
}

void Tfrmmain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Animate(true);
    update();
    activateWindow();
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
        });
        connect(m_animation, &QVariantAnimation::finished, this, [this] {
            clearMask();
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
    // The clock text drags with the left button only, the rest of the window with the left
    // or middle one; the right button belongs to the popup menu.
    const bool onClock =
        m_normal && m_normal->AALabel->geometry().contains(event->position().toPoint());
    const bool drag =
        event->button() == Qt::LeftButton || (event->button() == Qt::MiddleButton && !onClock);
    if (drag) DragWindow(event);
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
    PMenu->popup(event->globalPos());
}

void Tfrmmain::closeEvent(QCloseEvent* event) {
    if (!m_closed) FormClose();
    event->accept();
}

void Tfrmmain::FormClose() {
    m_closed = true;
    Timer_hotkey->stop();
    if (m_normal) {
        m_normal->Timer1->stop();
        m_normal->Timer_Flash->stop();
    }
    try {
        SavePosition();
    } catch (const SettingsWriteError& e) {
        // The program ends all the same; the user learns why the position is lost.
        showError(QString::fromStdString(e.what()));
    }
    State.SettingsFile.reset();
    UnregisterHotkeys();
    m_balloon->hide();
    emit closed();
}

void Tfrmmain::showError(const QString& text) {
    QMessageBox::critical(this, QStringLiteral("Pendra"), text);
}
