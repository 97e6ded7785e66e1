#include "normalpage.h"

#include "antialiasedlabel.h"
#include "colorfield.h"
#include "fonteffectdialog.h"
#include "labelfont.h"
#include "previewhost.h"
#include "runstate.h"
#include "settingkeys.h"
#include "settingsfile.h"
#include "spinfield.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template <class T> T* named(T* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QLabel* labelFor(QWidget* buddy, const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

NormalPage::NormalPage(PreviewHost& host, QWidget* parent) : ModeSettingsPage(host, parent) {
    setObjectName(QStringLiteral("TabSheet1"));

    auto* system = new QGroupBox(QStringLiteral("系统"), this);
    RB_ZJS = named(new QRadioButton(QStringLiteral("正计时"), system), "RB_ZJS");
    RB_DJS = named(new QRadioButton(QStringLiteral("倒计时"), system), "RB_DJS");
    auto* timing = new QButtonGroup(system);
    timing->addButton(RB_ZJS);
    timing->addButton(RB_DJS);
    RB_DJS->setChecked(true);
    cb_maohao = named(new QCheckBox(QStringLiteral("分隔符闪动"), system), "cb_maohao");
    CheckBox_AutoStop =
        named(new QCheckBox(QStringLiteral("超时自动停止"), system), "CheckBox_AutoStop");
    btn_font = named(new QPushButton(QStringLiteral("字体"), system), "btn_font");
    SE_DJS = named(new SpinField(0, 120, system), "SE_DJS");
    SE_DJS->setToolTip(QStringLiteral("距标准时间还差此时间时恢复显示"));

    auto* g = new QGridLayout(system);
    g->addWidget(new QLabel(QStringLiteral("计时模式"), system), 0, 0);
    g->addWidget(RB_ZJS, 0, 1);
    g->addWidget(RB_DJS, 0, 2);
    g->addWidget(cb_maohao, 1, 0, 1, 2);
    g->addWidget(CheckBox_AutoStop, 1, 2, 1, 2);
    QLabel* djsLabel = labelFor(SE_DJS, "恢复显示时间", system);
    djsLabel->setToolTip(SE_DJS->toolTip());
    g->addWidget(djsLabel, 2, 0);
    g->addWidget(SE_DJS, 2, 1);
    g->addWidget(btn_font, 2, 3);
    g->setColumnStretch(2, 1);

    auto* colours = new QGroupBox(QStringLiteral("颜色"), this);
    C_over = named(new ColorField(colours), "C_over");
    C_ALARM = named(new ColorField(colours), "C_ALARM");
    CheckBox_Flash =
        named(new QCheckBox(QStringLiteral("超时背景闪烁"), colours), "CheckBox_Flash");
    auto* c = new QGridLayout(colours);
    c->addWidget(labelFor(C_over, "超时", colours), 0, 0);
    c->addWidget(C_over, 0, 1);
    c->addWidget(labelFor(C_ALARM, "报警", colours), 1, 0);
    c->addWidget(C_ALARM, 1, 1);
    c->addWidget(CheckBox_Flash, 2, 0, 1, 2);
    c->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(system);
    layout->addWidget(colours);
    layout->addStretch(1);

    SmoothFontDialog = new ::SmoothFontDialog(this);
    SmoothFontDialog->setObjectName(QStringLiteral("SmoothFontDialog"));
    SmoothFontDialog->setAllowChangeFont(true);
    connect(btn_font, &QPushButton::clicked, this, &NormalPage::btn_fontClick);
}

struct NormalPage::ClockLook {
    QFont font;
    qint32 colorValue;
    TextEffect effect;
};

NormalPage::~NormalPage() = default;

void NormalPage::Load() {
    const SettingsFile& f = Host().Settings();
    // The window's present way of counting, not the file's.
    if (Host().State().CountUp) RB_ZJS->setChecked(true);
    C_ALARM->setValue(ReadInt(f, Key::BKCOLOR_Alarm));
    C_over->setValue(ReadInt(f, Key::BKCOLOR_over));
    cb_maohao->setChecked(ReadFlag(f, Key::maohao));
    CheckBox_AutoStop->setChecked(ReadFlag(f, Key::AutoStop));
    SE_DJS->setValue(ReadInt(f, Key::NormalDJS));
    CheckBox_Flash->setChecked(ReadFlag(f, Key::Flash));
}

void NormalPage::Save() {
    SettingsFile& f = Host().Settings();
    WriteFlag(f, Key::jsMode, RB_ZJS->isChecked());
    WriteFlag(f, Key::maohao, cb_maohao->isChecked());
    WriteFlag(f, Key::AutoStop, CheckBox_AutoStop->isChecked());
    // The clock label as it stands, with a font or effect chosen in this dialog.
    if (AntiAliasedLabel* clock = Host().Surfaces().clockLabel)
        SaveLabelFont(f, *clock, QStringLiteral("AALabel"));
    WriteInt(f, Key::NormalDJS, SE_DJS->value());
    WriteInt(f, Key::BKCOLOR_Alarm, C_ALARM->value());
    WriteInt(f, Key::BKCOLOR_over, C_over->value());
    WriteFlag(f, Key::Flash, CheckBox_Flash->isChecked());
}

void NormalPage::btn_fontClick() {
    AntiAliasedLabel* clock = Host().Surfaces().clockLabel;
    if (!clock) return;
    SmoothFontDialog->setFont(clock->font());
    SmoothFontDialog->setFontColor(clock->fontColor());
    SmoothFontDialog->setEffect(clock->effect());
    if (!SmoothFontDialog->Execute(window())) return;

    if (!m_before) {
        // The window reads [AALabel] again after the dialog, but a key the file lacks keeps
        // what the label shows, so a cancelled choice is undone here.
        m_before = std::make_unique<ClockLook>(
            ClockLook{clock->font(), clock->fontColorValue(), clock->effect()});
        if (auto* dialog = qobject_cast<QDialog*>(window()))
            connect(dialog, &QDialog::rejected, this, &NormalPage::restoreClock);
    }
    clock->beginUpdate();
    clock->setEffect(SmoothFontDialog->effect());
    clock->setFont(SmoothFontDialog->font());
    // A system colour stays stored as such unless another colour was chosen.
    if (SmoothFontDialog->fontColor() != clock->fontColor())
        clock->setFontColor(SmoothFontDialog->fontColor());
    clock->endUpdate();
    Host().Window()->resize(clock->size());
}

void NormalPage::restoreClock() {
    AntiAliasedLabel* clock = Host().Surfaces().clockLabel;
    if (!clock || !m_before) return;
    clock->beginUpdate();
    clock->setEffect(m_before->effect);
    clock->setFont(m_before->font);
    clock->setFontColorValue(m_before->colorValue);
    clock->endUpdate();
}
