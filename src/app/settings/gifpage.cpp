#include "gifpage.h"

#include "filefield.h"
#include "pagefields.h"
#include "previewhost.h"
#include "settingkeys.h"
#include "settingsfile.h"
#include "spinfield.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace {
FileField* fileOf(QWidget* parent, const char* name, const char* filter) {
    auto* field = Named(new FileField(parent), name);
    field->setFilter(QString::fromUtf8(filter));
    return field;
}
} // namespace

GifPage::GifPage(PreviewHost& host, QWidget* parent) : ModeSettingsPage(host, parent) {
    setObjectName(QStringLiteral("TabSheet8"));
    sp_interval = new SpinField(0, 120, this);
    sp_interval->setObjectName(QStringLiteral("sp_interval"));
    CB_direct_gif = new QComboBox(this);
    CB_direct_gif->setObjectName(QStringLiteral("CB_direct_gif"));
    CB_direct_gif->addItems({QStringLiteral("横向"), QStringLiteral("纵向")});
    file_gif = fileOf(this, "file_gif", "Gif files (*.*)|*.gif");
    file_sound = fileOf(this, "file_sound", "Sound files (*.*)|*.wav;*.mid;*.wma");
    Cb_autoClose_gif = new QCheckBox(QStringLiteral("超时自动关闭"), this);
    Cb_autoClose_gif->setObjectName(QStringLiteral("Cb_autoClose_gif"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setVerticalSpacing(4);
    AddRow(grid, QStringLiteral("间隔"), sp_interval);
    AddRow(grid, QStringLiteral("方向"), CB_direct_gif);
    AddRow(grid, QStringLiteral("GIF文件"), file_gif);
    AddRow(grid, QStringLiteral("间隔声音文件"), file_sound, 1,
           QStringLiteral("每隐藏一个Gif动画时播放"));
    const int row = grid->rowCount();
    grid->addWidget(Cb_autoClose_gif, row, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row + 1, 1);
}

void GifPage::Load() {
    const SettingsFile& f = Host().Settings();
    sp_interval->setValue(ReadInt(f, Key::GifInterval));
    // The dialog shows no file where the file names none, though the window looks for
    // gif.gif then.
    file_gif->setValue(f.ReadString(Key::GIfFile.sectionName(), Key::GIfFile.keyName(),
                                    QString::fromUtf8(Key::GIfFile.dialogDefault)));
    file_sound->setValue(ReadText(f, Key::GifSoundFile));
    Cb_autoClose_gif->setChecked(ReadFlag(f, Key::GifAutoClose));
    CB_direct_gif->setCurrentIndex(ReadFlag(f, Key::GifH) ? 0 : 1);
}

void GifPage::Save() {
    SettingsFile& f = Host().Settings();
    WriteInt(f, Key::GifInterval, sp_interval->value());
    WriteText(f, Key::GIfFile, file_gif->value());
    WriteText(f, Key::GifSoundFile, file_sound->value());
    // 横向 only; 纵向 and no choice are both vertical.
    WriteFlag(f, Key::GifH, CB_direct_gif->currentIndex() == 0);
    WriteFlag(f, Key::GifAutoClose, Cb_autoClose_gif->isChecked());
}
