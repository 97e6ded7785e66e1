#include "tfrm_setsys.h"

#include "colorfield.h"
#include "colors.h"
#include "filefield.h"
#include "hotkeyfield.h"
#include "modesettingspage.h"
#include "previewhost.h"
#include "progressfillbar.h"
#include "progresspage.h"
#include "runstate.h"
#include "settingkeys.h"
#include "settingsfile.h"
#include "shortcuttext.h"
#include "spinfield.h"
#include "stageplan.h"
#include "timefield.h"
#include "timetext.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

constexpr int TabGeneral = 4;
const char* const TagProperty = "tag";

const QString SoundFilter = QStringLiteral("Sound files (*.*)|*.wav;*.mid;*.wma");

int tagOf(const QObject* o) {
    return o->property(TagProperty).toInt();
}

// The text the stage table shows and writes for a time field: what was typed, without the
// blanks of the mask ("12:3" while half typed).
QString timeText(const QLineEdit* edit) {
    return edit->text();
}

// Reads a part of a time text as a decimal integer the way the dialog always has: blanks
// before it, an optional sign, then digits and nothing else.
int decimalPart(const QString& part) {
    qsizetype i = 0;
    while (i < part.size() && part[i] == QLatin1Char(' '))
        ++i;
    if (i < part.size() && (part[i] == QLatin1Char('+') || part[i] == QLatin1Char('-'))) ++i;
    const qsizetype digits = i;
    while (i < part.size() && part[i] >= QLatin1Char('0') && part[i] <= QLatin1Char('9'))
        ++i;
    bool ok = i > digits && i == part.size();
    const int value = ok ? part.trimmed().toInt(&ok, 10) : 0;
    if (!ok)
        throw std::invalid_argument(
            QStringLiteral("'%1' is not a valid integer value").arg(part).toStdString());
    return value;
}

QLabel* labelFor(QWidget* buddy, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

template <class T> T* Tfrm_setsys::made(T* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    m_components.push_back(control);
    return control;
}

Tfrm_setsys::Tfrm_setsys(PreviewHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frm_setsys"));
    setWindowTitle(QStringLiteral("设置"));
    // Only a close box: no minimise, maximise or help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("宋体"), 9));

    page = new QTabWidget(this);
    page->setObjectName(QStringLiteral("page"));
    m_modePages = CreateModeSettingsPages(host, page);
    static const char* const modeCaptions[] = {"普通", "进度条", "提示窗", "GIF"};
    for (int mode = 0; mode < 4; ++mode)
        page->addTab(m_modePages[mode], QString::fromUtf8(modeCaptions[mode]));
    page->addTab(buildGeneralPage(), QStringLiteral("通用"));
    page->addTab(buildTimePage(), QStringLiteral("时间"));
    page->addTab(buildHotkeyPage(), QStringLiteral("热键"));
    page->addTab(buildEffectPage(), QStringLiteral("效果"));

    btnok = new QPushButton(QStringLiteral("确定"), this);
    btnok->setObjectName(QStringLiteral("btnok"));
    btnok->setDefault(true);
    btncancel = new QPushButton(QStringLiteral("取消"), this);
    btncancel->setObjectName(QStringLiteral("btncancel"));
    connect(btnok, &QPushButton::clicked, this, &Tfrm_setsys::btnokClick);
    connect(btncancel, &QPushButton::clicked, this, &Tfrm_setsys::btncancelClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnok);
    buttons->addWidget(btncancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(page, 1);
    layout->addLayout(buttons);

    FormCreate();

    // 332 x 316 as designed, larger where the fonts of this system need more room, so that
    // no label or field is cut; the frame is fixed.
    setFixedSize(QSize(332, 316).expandedTo(layout->totalMinimumSize()));
}

Tfrm_setsys::~Tfrm_setsys() = default;

// ---- pages ----

QWidget* Tfrm_setsys::buildGeneralPage() {
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheet9"));

    RG_StartMode = made(new QGroupBox(QStringLiteral("启动模式"), sheet), "RG_StartMode");
    m_startModes = new QButtonGroup(RG_StartMode);
    auto* modes = new QGridLayout(RG_StartMode);
    static const char* const items[] = {"普通", "进度条", "提示窗", "GIF"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(items[i]), RG_StartMode);
        b->setObjectName(QStringLiteral("RG_StartMode_%1").arg(i));
        m_startModes->addButton(b, i);
        modes->addWidget(b, 0, i);
    }

    auto* texts = new QGroupBox(QStringLiteral("提示文字"), sheet);
    auto* form = new QGridLayout(texts);
    auto text = [&](QLineEdit*& edit, const char* name, const char* label, int row, int col) {
        edit = made(new QLineEdit(texts), name);
        form->addWidget(labelFor(edit, QString::fromUtf8(label), texts), row, col * 2);
        form->addWidget(edit, row, col * 2 + 1);
    };
    text(edt_standard, "edt_standard", "标准", 0, 0);
    text(edt_alarm, "edt_alarm", "报警", 0, 1);
    text(edt_elapse, "edt_elapse", "已用", 1, 0);
    text(edt_remain, "edt_remain", "还剩", 1, 1);
    text(edt_over, "edt_over", "超时", 2, 0);
    text(edt_percent, "edt_percent", "百分比", 2, 1);

    cb_AutoNext = made(new QCheckBox(QStringLiteral("自动开始下一阶段"), sheet), "cb_AutoNext");

    auto* layout = new QVBoxLayout(sheet);
    layout->addWidget(RG_StartMode);
    layout->addWidget(texts);
    layout->addWidget(cb_AutoNext);
    layout->addStretch(1);
    return sheet;
}

QWidget* Tfrm_setsys::buildTimePage() {
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheet10"));
    auto* grid = new QGridLayout(sheet);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(QStringLiteral("阶段名称"), sheet), 0, 1, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("标准时间"), sheet), 0, 2, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("报警时间"), sheet), 0, 3, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("分进度\n条颜色"), sheet), 0, 4, Qt::AlignCenter);

    // Made in the order the table is written: each row's standard and alarm time, then the
    // names, then the colours by their editors' names (StageColorEdit5 is row 2).
    for (int n = 1; n <= StageCount; ++n) {
        auto* st = made(new TimeField(sheet), "");
        st->setObjectName(QStringLiteral("ST_%1").arg(n));
        st->setProperty(TagProperty, n);
        st->installEventFilter(this);
        StageTimes[n - 1] = st;
        auto* alarm = made(new TimeField(sheet), "");
        alarm->setObjectName(QStringLiteral("MaskEdit%1").arg(2 * n - 1));
        alarm->setProperty(TagProperty, 100 + n);
        StageAlarms[n - 1] = alarm;
    }
    for (int n = 1; n <= StageCount; ++n) {
        auto* name = made(new QLineEdit(sheet), "");
        name->setObjectName(QStringLiteral("Edit%1").arg(n));
        name->setProperty(TagProperty, n);
        // Room for a name of five Chinese characters, such as 主题演讲 and a number.
        name->setMinimumWidth(name->fontMetrics().horizontalAdvance(QStringLiteral("主题演讲一")) +
                              12);
        StageNames[n - 1] = name;
    }
    static constexpr int rowOfEditor[] = {1, 3, 4, 5, 2, 6, 7, 8};
    for (int k = 1; k <= StageCount; ++k) {
        auto* color = made(new ColorField(sheet), "");
        color->setObjectName(QStringLiteral("StageColorEdit%1").arg(k));
        const int n = rowOfEditor[k - 1];
        color->setProperty(TagProperty, n);
        StageColors[n - 1] = color;
        connect(color, &ColorField::valueChanged, this,
                [this, color] { StageColorEditChange(color); });
    }

    for (int n = 1; n <= StageCount; ++n) {
        grid->addWidget(new QLabel(QString::number(n), sheet), n, 0, Qt::AlignRight);
        grid->addWidget(StageNames[n - 1], n, 1);
        grid->addWidget(StageTimes[n - 1], n, 2);
        grid->addWidget(StageAlarms[n - 1], n, 3);
        grid->addWidget(StageColors[n - 1], n, 4);
        // Keyboard order along the rows, as the table reads.
        if (n > 1) setTabOrder(StageColors[n - 2], StageNames[n - 1]);
        setTabOrder(StageNames[n - 1], StageTimes[n - 1]);
        setTabOrder(StageTimes[n - 1], StageAlarms[n - 1]);
        setTabOrder(StageAlarms[n - 1], StageColors[n - 1]);
    }
    lbl_total = new QLabel(sheet);
    lbl_total->setObjectName(QStringLiteral("lbl_total"));
    lbl_total->setAlignment(Qt::AlignCenter);
    grid->addWidget(lbl_total, StageCount + 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(StageCount + 2, 1);
    return sheet;
}

QWidget* Tfrm_setsys::buildHotkeyPage() {
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheet11"));
    auto* form = new QFormLayout(sheet);
    auto field = [&](HotkeyField*& f, const char* name, const char* label) {
        f = made(new HotkeyField(sheet), name);
        f->setInvalidCombinations(HotkeyField::NoneOrShift);
        connect(f, &HotkeyField::changed, this, &Tfrm_setsys::HotKey_startChange);
        form->addRow(labelFor(f, QString::fromUtf8(label), sheet), f);
    };
    field(HotKey_start, "HotKey_start", "开始/隐藏");
    field(HotKey_pause, "HotKey_pause", "暂停/继续");
    field(HotKey_stop, "HotKey_stop", "停止/显示");
    field(HotKey_pri, "HotKey_pri", "上一阶段");
    field(HotKey_next, "HotKey_next", "下一阶段");
    HotKey_start->setInvalidCombinations(HotkeyField::AllButShiftCtrlAlt);
    return sheet;
}

QWidget* Tfrm_setsys::buildEffectPage() {
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheet12"));
    auto* form = new QFormLayout(sheet);

    ColorEdit_Bk = made(new ColorField(sheet), "ColorEdit_Bk");
    connect(ColorEdit_Bk, &ColorField::valueChanged, this, &Tfrm_setsys::ColorEdit_BkChange);
    form->addRow(labelFor(ColorEdit_Bk, QStringLiteral("背景颜色"), sheet), ColorEdit_Bk);

    Slider_Opacity = made(new SliderField(20, 255, 5, sheet), "Slider_Opacity");
    Slider_Opacity->setToolTip(QStringLiteral("调整主窗体的透明程度"));
    Slider_Opacity->setValue(255); // the design value, before the preview is connected
    connect(Slider_Opacity, &QSlider::valueChanged, this, &Tfrm_setsys::Slider_OpacityChange);
    form->addRow(labelFor(Slider_Opacity, QStringLiteral("透明度"), sheet), Slider_Opacity);

    auto sound = [&](FileField*& f, const char* name, const char* label) {
        f = made(new FileField(sheet), name);
        f->setFilter(SoundFilter);
        form->addRow(labelFor(f->lineEdit(), QString::fromUtf8(label), sheet), f);
    };
    sound(File_Start, "File_Start", "开始声音");
    sound(File_Alarm, "File_Alarm", "报警声音");
    sound(File_Over, "File_Over", "超时声音");
    return sheet;
}

QCheckBox* Tfrm_setsys::totalBox() const {
    return static_cast<ProgressPage*>(m_modePages[1])->cb_total;
}

// ---- loading ----

void Tfrm_setsys::FormCreate() {
    const SettingsFile& f = m_host.Settings();
    const int mode = m_host.State().DisplayMode;
    const bool knownMode = mode >= 0 && mode < 4;
    if (knownMode) m_modePages[mode]->Load();

    Slider_Opacity->setValue(qBound(20, m_host.Opacity(), 255));
    ColorEdit_Bk->setValue(ReadInt(f, Key::BKCOLOR));

    edt_elapse->setText(ReadText(f, Key::Elapse));
    edt_remain->setText(ReadText(f, Key::Remain));
    edt_over->setText(ReadText(f, Key::Over));
    edt_standard->setText(ReadText(f, Key::Standard));
    edt_alarm->setText(ReadText(f, Key::Alarm));
    edt_percent->setText(ReadText(f, Key::Per));

    File_Alarm->setValue(ReadText(f, Key::Sound_Alarm));
    File_Over->setValue(ReadText(f, Key::Sound_Over));
    File_Start->setValue(ReadText(f, Key::Sound_Start));

    cb_AutoNext->setChecked(ReadFlag(f, Key::AutoNext));
    totalBox()->setChecked(ReadFlag(f, Key::Total));

    // The dialog shows no key where the file has none, whatever the window uses then.
    auto hotkey = [&](HotkeyField* field, const SettingKey& key) {
        field->setShortcut(TextToShortCut(f.ReadString(
            key.sectionName(), key.keyName(),
            QString::fromUtf8(key.dialogDefault ? key.dialogDefault : key.mainDefault))));
    };
    hotkey(HotKey_start, Key::HotkeyStart);
    hotkey(HotKey_pause, Key::HotkeyPause);
    hotkey(HotKey_stop, Key::HotkeyStop);
    hotkey(HotKey_next, Key::HotkeyNext);
    hotkey(HotKey_pri, Key::HotkeyPri);

    if (knownMode) {
        m_startModes->button(mode)->setChecked(true);
        page->setCurrentIndex(mode);
    } else {
        page->setCurrentIndex(TabGeneral);
    }
    // Disabled as well, so that Ctrl+Tab never lands on a page that is not shown.
    for (int i = 0; i < 4; ++i)
        if (i != mode) {
            page->setTabVisible(i, false);
            page->setTabEnabled(i, false);
            // Nor does it take room: the dialog is sized for the pages it shows.
            m_modePages[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        }

    LoadStageTable();

    try {
        ShowTotalTime();
    } catch (const std::exception& e) {
        // The dialog opens all the same, without what follows the total.
        lbl_total->setText(QStringLiteral("00:00"));
        m_openingError = QString::fromUtf8(e.what());
        return;
    }
    if (knownMode) m_modePages[mode]->Loaded();
}

void Tfrm_setsys::LoadStageTable() {
    const SettingsFile& f = m_host.Settings();
    for (QWidget* c : m_components) {
        const int t = tagOf(c);
        if (auto* time = qobject_cast<TimeField*>(c)) {
            if (t / 100 == 0)
                time->setText(f.ReadString(Key::StageTime.sectionName(), Key::StageTime.keyName(t),
                                           QStringLiteral("01:00")));
            else if (t / 100 == 1)
                time->setText(f.ReadString(Key::StageAlarm.sectionName(),
                                           Key::StageAlarm.keyName(t - 100),
                                           QStringLiteral("00:20")));
        } else if (auto* edit = qobject_cast<QLineEdit*>(c); edit && t > 0) {
            edit->setText(f.ReadString(Key::StageName.sectionName(), Key::StageName.keyName(t),
                                       QStringLiteral("阶段%1").arg(t)));
        } else if (auto* color = qobject_cast<ColorField*>(c); color && t > 0) {
            color->setValue(ReadInt(f, Key::StageColor, t));
        }
    }
}

int Tfrm_setsys::TimeTextSeconds(const QString& text) {
    if (text.isEmpty() || text == QStringLiteral(":")) return 0;
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString minutes = colon < 0 ? QString() : text.left(colon);
    const QString seconds = colon < 0 ? QString() : text.mid(colon + 1, 2);
    const qint64 total = qint64(decimalPart(minutes)) * 60 + decimalPart(seconds);
    return int(qBound(qint64(INT_MIN), total, qint64(INT_MAX)));
}

void Tfrm_setsys::ShowTotalTime() {
    qint64 total = 0;
    for (const TimeField* st : StageTimes)
        total += TimeTextSeconds(timeText(st));
    const QString minutes = PadLeft(QString::number(total / 60), QStringLiteral("0"), 2);
    const QString seconds = PadLeft(QString::number(total % 60), QStringLiteral("0"), 2);
    lbl_total->setText(minutes + QLatin1Char(':') + seconds);
}

void Tfrm_setsys::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect r = frameGeometry();
            r.moveCenter(screen->availableGeometry().center());
            move(r.topLeft());
        }
    }
    if (!m_openingError.isEmpty()) {
        const QString text = std::exchange(m_openingError, QString());
        QTimer::singleShot(0, this, [this, text] { ShowError(text); });
    }
}

bool Tfrm_setsys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        auto* st = qobject_cast<TimeField*>(watched);
        // After the field has had its say: a refused change keeps the focus there and is
        // not an exit.
        if (st)
            QTimer::singleShot(0, this, [this, st] {
                if (st->isModified() && !st->hasAcceptableInput()) return;
                ST_1Exit();
            });
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_setsys::ShowError(const QString& text) {
    m_box.Show(this, QMessageBox::Critical, QStringLiteral("Pendra"), text);
}

// ---- previews ----

void Tfrm_setsys::Slider_OpacityChange(int value) {
    m_host.SetOpacity(value);
}

void Tfrm_setsys::ColorEdit_BkChange(qint32 value) {
    m_host.SetBackground(value);
}

void Tfrm_setsys::HotKey_startChange() {
    m_host.State().HotkeyChanged = true;
}

void Tfrm_setsys::StageColorEditChange(ColorField* edit) {
    if (m_host.State().DisplayMode != 1 || !totalBox()->isChecked()) return;
    const int n = tagOf(edit);
    if (n < 1 || n > StageCount) return;
    if (ProgressFillBar* bar = m_host.Surfaces().stageBars[n - 1])
        bar->setColor(ColorFromValue(edit->value(), QColor(0xA6, 0xCA, 0xF0)));
}

void Tfrm_setsys::ST_1Exit() {
    try {
        ShowTotalTime();
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    }
}

// ---- saving ----

void Tfrm_setsys::btnokClick() {
    try {
        Save();
    } catch (const std::exception& e) {
        // The keys before the refused one are written; the dialog stays open.
        ShowError(QString::fromUtf8(e.what()));
        return;
    }
    accept();
}

void Tfrm_setsys::btncancelClick() {
    reject();
}

void Tfrm_setsys::Save() {
    SettingsFile& f = m_host.Settings();
    const int mode = m_host.State().DisplayMode;
    if (mode >= 0 && mode < 4) m_modePages[mode]->Save();

    WriteInt(f, Key::TransParent, Slider_Opacity->value());
    WriteInt(f, Key::BKCOLOR, ColorEdit_Bk->value());

    WriteText(f, Key::Elapse, edt_elapse->text());
    WriteText(f, Key::Remain, edt_remain->text());
    WriteText(f, Key::Over, edt_over->text());
    WriteText(f, Key::Standard, edt_standard->text());
    WriteText(f, Key::Alarm, edt_alarm->text());
    WriteText(f, Key::Per, edt_percent->text());

    WriteText(f, Key::Sound_Alarm, File_Alarm->value());
    WriteText(f, Key::Sound_Start, File_Start->value());
    WriteText(f, Key::Sound_Over, File_Over->value());

    WriteFlag(f, Key::AutoNext, cb_AutoNext->isChecked());
    WriteFlag(f, Key::Total, totalBox()->isChecked());

    // With a display mode the dialog does not know none is chosen: the stored one stays.
    const int chosen = m_startModes->checkedId();
    WriteInt(f, Key::StartMode, chosen >= 0 ? chosen : mode);

    WriteText(f, Key::HotkeyStart, ShortCutToText(HotKey_start->shortcut()));
    WriteText(f, Key::HotkeyPause, ShortCutToText(HotKey_pause->shortcut()));
    WriteText(f, Key::HotkeyStop, ShortCutToText(HotKey_stop->shortcut()));
    WriteText(f, Key::HotkeyPri, ShortCutToText(HotKey_pri->shortcut()));
    WriteText(f, Key::HotkeyNext, ShortCutToText(HotKey_next->shortcut()));

    SaveStageTable();
}

void Tfrm_setsys::SaveStageTable() {
    SettingsFile& f = m_host.Settings();
    for (QWidget* c : m_components) {
        const int t = tagOf(c);
        if (auto* time = qobject_cast<TimeField*>(c)) {
            if (t >= 1 && t <= 99)
                WriteText(f, Key::StageTime, timeText(time), t);
            else if (t >= 101 && t <= 199)
                WriteText(f, Key::StageAlarm, timeText(time), t - 100);
        } else if (auto* edit = qobject_cast<QLineEdit*>(c); edit && t > 0) {
            WriteText(f, Key::StageName, edit->text(), t);
        } else if (auto* color = qobject_cast<ColorField*>(c); color && t > 0) {
            WriteInt(f, Key::StageColor, color->value(), t);
        }
    }
}
