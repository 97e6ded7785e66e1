#include "promptpage.h"

#include "colorfield.h"
#include "colors.h"
#include "displaymode.h"
#include "fontcolordialog.h"
#include "pagefields.h"
#include "previewhost.h"
#include "settingkeys.h"
#include "settingsfile.h"
#include "spinfield.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace {
SpinField* spinOf(QWidget* parent, const char* name, int minimum, int maximum) {
    return Named(new SpinField(minimum, maximum, parent), name);
}
} // namespace

PromptPage::PromptPage(PreviewHost& host, QWidget* parent) : ModeSettingsPage(host, parent) {
    setObjectName(QStringLiteral("TabSheet7"));
    SpinEdit_disp = spinOf(this, "SpinEdit_disp", 0, 30);
    SpinEdit_interval = spinOf(this, "SpinEdit_interval", 0, 300);
    SE_DJS_MESS = spinOf(this, "SE_DJS_MESS", 0, 300);
    Color_Over_message = Named(new ColorField(this), "Color_Over_message");
    Color_Alarm_message = Named(new ColorField(this), "Color_Alarm_message");
    CheckBox_Over = new QCheckBox(QStringLiteral("超时自动关闭"), this);
    CheckBox_Over->setObjectName(QStringLiteral("CheckBox_Over"));
    Button1 = new QPushButton(QStringLiteral("字体"), this);
    Button1->setObjectName(QStringLiteral("Button1"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setVerticalSpacing(4);
    AddRow(grid, QStringLiteral("显示秒数"), SpinEdit_disp, 1, QStringLiteral("设置为0一直显示"));
    AddRow(grid, QStringLiteral("显示间隔"), SpinEdit_interval);
    AddRow(grid, QStringLiteral("恢复显示时间"), SE_DJS_MESS);
    AddRow(grid, QStringLiteral("超时"), Color_Over_message);
    AddRow(grid, QStringLiteral("报警"), Color_Alarm_message);
    const int row = grid->rowCount();
    grid->addWidget(CheckBox_Over, row, 0, 1, 2);
    grid->addWidget(Button1, row + 1, 0, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row + 2, 1);

    connect(Button1, &QPushButton::clicked, this, &PromptPage::Button1Click);
}

void PromptPage::Load() {
    const SettingsFile& f = Host().Settings();
    SpinEdit_disp->setValue(ReadInt(f, Key::DisplaySec));
    SpinEdit_interval->setValue(ReadInt(f, Key::DisplayInterval));
    CheckBox_Over->setChecked(ReadFlag(f, Key::TimeOutAutoClose));
    Color_Over_message->setValue(ReadInt(f, Key::MsgColor_Over));
    Color_Alarm_message->setValue(ReadInt(f, Key::MsgColor_Alarm));
    SE_DJS_MESS->setValue(ReadInt(f, Key::MsgDJS));
}

void PromptPage::Save() {
    SettingsFile& f = Host().Settings();
    // The font lives on the window's label; without one the stored font stays.
    if (const QLabel* l = Host().Surfaces().promptLabel) {
        const QFont font = l->font();
        WriteText(f, Key::MsgFontname, font.family());
        WriteInt(f, Key::MsgFontColor, ValueFromColor(l->palette().color(QPalette::WindowText)));
        WriteInt(f, Key::MsgFontsize, FontPointSize(font));
        WriteText(f, Key::MsgFontStyle, FontStyleToText(FontStyleOf(font)));
    }
    WriteInt(f, Key::DisplaySec, SpinEdit_disp->value());
    WriteInt(f, Key::DisplayInterval, SpinEdit_interval->value());
    WriteFlag(f, Key::TimeOutAutoClose, CheckBox_Over->isChecked());
    WriteInt(f, Key::MsgColor_Over, Color_Over_message->value());
    WriteInt(f, Key::MsgColor_Alarm, Color_Alarm_message->value());
    WriteInt(f, Key::MsgDJS, SE_DJS_MESS->value());
}

void PromptPage::Button1Click() {
    QLabel* l = Host().Surfaces().promptLabel;
    if (!l) return;
    QFont font = l->font();
    QColor color = l->palette().color(QPalette::WindowText);
    if (!ChooseFont(window(), font, color)) return;
    l->setFont(font);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, color);
    l->setPalette(palette);
    // The label is sized to its text, and the window to the label, with the label's own
    // margin kept on the far sides as well, as the window fits itself around it.
    l->adjustSize();
    if (QWidget* w = Host().Window())
        w->resize(l->width() + 2 * qMax(0, l->x()), l->height() + 2 * qMax(0, l->y()));
}
