#include "progresspage.h"

#include "colorfield.h"
#include "colors.h"
#include "displaymode.h"
#include "filefield.h"
#include "fillobject.h"
#include "fontcolordialog.h"
#include "pagefields.h"
#include "previewhost.h"
#include "progressfillbar.h"
#include "progresslayout.h"
#include "runstate.h"
#include "settingkeys.h"
#include "settingsfile.h"
#include "spinfield.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr int OptionStageName = 3;
constexpr int BarsMode = 1;             // the display mode whose page this is
const QColor SkyBlue(0xA6, 0xCA, 0xF0); // what the running mode takes for "no colour"

QComboBox* comboOf(QWidget* parent, const char* name, const QStringList& items) {
    auto* box = Named(new QComboBox(parent), name);
    box->addItems(items);
    return box;
}

QCheckBox* checkOf(QWidget* parent, const char* name, const QString& text) {
    return Named(new QCheckBox(text, parent), name);
}

ColorField* colorOf(QWidget* parent, const char* name) {
    return Named(new ColorField(parent), name);
}

SpinField* spinOf(QWidget* parent, const char* name, int minimum, int maximum, int design) {
    auto* field = Named(new SpinField(minimum, maximum, parent), name);
    field->setValue(design);
    return field;
}

// A stored list index outside the list shows no item (and is saved as -1).
void setIndex(QComboBox* box, int index) {
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

QRect primaryScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

} // namespace

ProgressPage::ProgressPage(PreviewHost& host, QWidget* parent) : ModeSettingsPage(host, parent) {
    setObjectName(QStringLiteral("TabSheet2"));
    PageControl2 = new QTabWidget(this);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    PageControl2->setTabPosition(QTabWidget::West);
    TabSheet4 = new QWidget(PageControl2);
    TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
    TabSheet5 = new QWidget(PageControl2);
    TabSheet5->setObjectName(QStringLiteral("TabSheet5"));
    PageControl2->addTab(TabSheet4, QStringLiteral("系统"));
    PageControl2->addTab(TabSheet5, QStringLiteral("效果"));
    PageControl2->setCurrentWidget(TabSheet5);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(PageControl2);
    buildSystemPage();
    buildEffectPage();

    // Lists and colour fields preview only what the user picks; the loading sets them
    // silently. Check boxes, spin and text fields also preview a loaded value.
    connect(CB_OptionText, &QComboBox::activated, this, &ProgressPage::CB_OptionTextChange);
    connect(cb_style, &QComboBox::activated, this, &ProgressPage::cb_styleChange);
    connect(CB_Align, &QComboBox::activated, this, &ProgressPage::CB_AlignChange);
    connect(cb_grident, &QComboBox::activated, this, &ProgressPage::cb_gridentChange);
    connect(cb_bitmap_tile, &QComboBox::activated, this, &ProgressPage::cb_bitmap_tileChange);
    connect(ColorEdit_Fill, &ColorField::valueChanged, this, &ProgressPage::ColorEdit_FillChange);
    connect(ColorEdit_End, &ColorField::valueChanged, this, &ProgressPage::ColorEdit_EndChange);
    connect(SpinEdit_Height, &QSpinBox::valueChanged, this, &ProgressPage::SpinEdit_HeightChange);
    connect(SpinEdit_ColorCnt, &QSpinBox::valueChanged, this,
            &ProgressPage::SpinEdit_ColorCntChange);
    connect(edt_caption, &QLineEdit::textChanged, this, &ProgressPage::edt_captionChange);
    connect(CheckBox_full, &QCheckBox::toggled, this, &ProgressPage::CheckBox_fullClick);
    connect(btn_CaptionFont, &QPushButton::clicked, this, &ProgressPage::btn_CaptionFontClick);
    // A bitmap name is tried once it is complete: on Enter or leaving the field, or as the
    // file dialog puts it in. Trying every keystroke would report every partial name.
    connect(FileEdit_Bitmap->lineEdit(), &QLineEdit::editingFinished, this,
            &ProgressPage::FileEdit_BitmapChange);
    connect(FileEdit_Bitmap, &FileField::valueChanged, this, [this] {
        if (!m_loadingBitmap && !FileEdit_Bitmap->lineEdit()->hasFocus()) FileEdit_BitmapChange();
    });
}

void ProgressPage::buildSystemPage() {
    QWidget* page = TabSheet4;
    CB_OptionText = comboOf(page, "CB_OptionText",
                            {QStringLiteral("toCaption/标题"), QStringLiteral("toNoText/无"),
                             QStringLiteral("toPercent/百分比"), QStringLiteral("阶段名称")});
    cb_style = comboOf(page, "cb_style",
                       {QStringLiteral("Bitmap/位图"), QStringLiteral("Gradient/梯度"),
                        QStringLiteral("BrushBitmap/画刷位图")});
    CB_Align = comboOf(page, "CB_Align",
                       {QStringLiteral("Top/顶部"), QStringLiteral("Bottom/底部"),
                        QStringLiteral("Left/左侧"), QStringLiteral("Right/右侧")});
    ColorEdit_Fill = colorOf(page, "ColorEdit_Fill");
    SpinEdit_Height = spinOf(page, "SpinEdit_Height", 2, 40, 20);
    edt_caption = new QLineEdit(page);
    edt_caption->setObjectName(QStringLiteral("edt_caption"));
    btn_CaptionFont = new QPushButton(QStringLiteral("字体"), page);
    btn_CaptionFont->setObjectName(QStringLiteral("btn_CaptionFont"));
    cb_total = checkOf(page, "cb_total", QStringLiteral("显示总进度"));
    CheckBox_Recycle = checkOf(page, "CheckBox_Recycle", QStringLiteral("超时后循环"));
    CheckBox_full = checkOf(page, "CheckBox_full", QStringLiteral("全宽(全高)"));

    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setVerticalSpacing(4);
    AddRow(grid, QStringLiteral("显示文本"), CB_OptionText, 2);
    AddRow(grid, QStringLiteral("风格"), cb_style, 2);
    AddRow(grid, QStringLiteral("位置"), CB_Align, 2);
    AddRow(grid, QStringLiteral("背景色"), ColorEdit_Fill, 2);
    AddRow(grid, QStringLiteral("高/宽度"), SpinEdit_Height, 2);
    AddRow(grid, QStringLiteral("标题"), edt_caption);
    grid->addWidget(btn_CaptionFont, grid->rowCount() - 1, 2);
    int row = grid->rowCount();
    grid->addWidget(cb_total, row, 0, 1, 2);
    grid->addWidget(CheckBox_Recycle, row, 2);
    grid->addWidget(CheckBox_full, row + 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row + 2, 1);
}

void ProgressPage::buildEffectPage() {
    QWidget* page = TabSheet5;
    auto* gradient = new QGroupBox(QStringLiteral("梯度"), page);
    SpinEdit_ColorCnt = spinOf(gradient, "SpinEdit_ColorCnt", 0, 100, 20);
    cb_grident = comboOf(gradient, "cb_grident",
                         {QStringLiteral("gstBottomLeft"), QStringLiteral("gstBottomRight"),
                          QStringLiteral("gstElliptic"), QStringLiteral("gstHorizontal"),
                          QStringLiteral("gstSquare"), QStringLiteral("gstTopLeft"),
                          QStringLiteral("gstTopLeftDiagonal"), QStringLiteral("gstTopRight"),
                          QStringLiteral("gstTopRightDiagonal"), QStringLiteral("gstVertical")});
    ColorEdit = colorOf(gradient, "ColorEdit");
    ColorEdit_End = colorOf(gradient, "ColorEdit_End");
    ColorEdit_Total = colorOf(gradient, "ColorEdit_Total");
    auto* g = new QGridLayout(gradient);
    g->setVerticalSpacing(4);
    AddRow(g, QStringLiteral("色彩数"), SpinEdit_ColorCnt);
    AddRow(g, QStringLiteral("风格"), cb_grident);
    AddRow(g, QStringLiteral("颜色1"), ColorEdit);
    AddRow(g, QStringLiteral("颜色2"), ColorEdit_End);
    AddRow(g, QStringLiteral("分进度背景色"), ColorEdit_Total);
    g->setColumnStretch(1, 1);

    auto* bitmap = new QGroupBox(QStringLiteral("位图"), page);
    cb_bitmap_tile = comboOf(bitmap, "cb_bitmap_tile",
                             {QStringLiteral("tmNone/无"), QStringLiteral("tmCenter/居中"),
                              QStringLiteral("tmStretch/拉伸"), QStringLiteral("tmTile/平铺")});
    FileEdit_Bitmap = new FileField(bitmap);
    FileEdit_Bitmap->setObjectName(QStringLiteral("FileEdit_Bitmap"));
    FileEdit_Bitmap->setFilter(QStringLiteral("bmpfiles (*.*)|*.bmp"));
    auto* b = new QGridLayout(bitmap);
    b->setVerticalSpacing(4);
    AddRow(b, QStringLiteral("模式"), cb_bitmap_tile);
    AddRow(b, QStringLiteral("BMP文件"), FileEdit_Bitmap);
    b->setColumnStretch(1, 1);

    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(6, 6, 6, 6);
    column->addWidget(gradient);
    column->addWidget(bitmap);
    column->addStretch(1);
}

ProgressFillBar* ProgressPage::mainBar() const {
    return Host().Surfaces().mainBar;
}

bool ProgressPage::stageBarsShown() const {
    return Host().State().DisplayMode == BarsMode && cb_total->isChecked();
}

void ProgressPage::Load() {
    const SettingsFile& f = Host().Settings();
    setIndex(CB_OptionText, ReadInt(f, Key::OptionText));
    setIndex(cb_style, ReadInt(f, Key::ProgStyle));
    // The window has loaded this bitmap already, if the file exists.
    const QString bitmap = ReadText(f, Key::ProgBitmap);
    m_loadingBitmap = true;
    FileEdit_Bitmap->setValue(bitmap);
    m_loadingBitmap = false;
    m_previewedBitmap = bitmap.trimmed();
    setIndex(cb_bitmap_tile, ReadInt(f, Key::BitmapTile));
    SpinEdit_ColorCnt->setValue(ReadInt(f, Key::Grident_ColorCnt));
    ColorEdit->setValue(ReadInt(f, Key::Grident_Color));
    ColorEdit_End->setValue(ReadInt(f, Key::Grident_EndColor));
    ColorEdit_Total->setValue(ReadInt(f, Key::Total_Color));
    setIndex(cb_grident, ReadInt(f, Key::Grident_Style));
    setIndex(CB_Align, ReadInt(f, Key::ProgAlign));
    edt_caption->setText(ReadText(f, Key::ProgCaption));
    ColorEdit_Fill->setValue(ReadInt(f, Key::ProgColor));
    SpinEdit_Height->setValue(ReadInt(f, Key::ProgHeight));
    CheckBox_full->setChecked(ReadFlag(f, Key::ProgFull));
    CheckBox_Recycle->setChecked(ReadFlag(f, Key::ProgRecycle));
}

void ProgressPage::Loaded() {
    PreviewBarLayout();
}

void ProgressPage::Save() {
    SettingsFile& f = Host().Settings();
    WriteInt(f, Key::OptionText, CB_OptionText->currentIndex());
    WriteInt(f, Key::ProgStyle, cb_style->currentIndex());
    WriteText(f, Key::ProgBitmap, FileEdit_Bitmap->value());
    WriteInt(f, Key::BitmapTile, cb_bitmap_tile->currentIndex());
    WriteInt(f, Key::Grident_ColorCnt, SpinEdit_ColorCnt->value());
    WriteInt(f, Key::Grident_Color, ColorEdit->value());
    WriteInt(f, Key::Grident_EndColor, ColorEdit_End->value());
    WriteInt(f, Key::Total_Color, ColorEdit_Total->value());
    WriteInt(f, Key::Grident_Style, cb_grident->currentIndex());
    WriteInt(f, Key::ProgAlign, CB_Align->currentIndex());
    WriteText(f, Key::ProgCaption, edt_caption->text());
    // The caption font lives on the bar; without one the stored font stays.
    if (const ProgressFillBar* bar = mainBar()) {
        const QFont font = bar->font();
        WriteInt(f, Key::Caption_FSize, FontPointSize(font));
        WriteText(f, Key::Caption_FName, font.family());
        WriteInt(f, Key::Caption_FColor, ValueFromColor(bar->fontColor()));
    }
    WriteInt(f, Key::ProgColor, ColorEdit_Fill->value());
    WriteInt(f, Key::ProgHeight, SpinEdit_Height->value());
    WriteFlag(f, Key::ProgFull, CheckBox_full->isChecked());
    WriteFlag(f, Key::ProgRecycle, CheckBox_Recycle->isChecked());
}

void ProgressPage::PreviewBarLayout() {
    const PreviewSurfaces s = Host().Surfaces();
    ProgressFillBar* main = s.mainBar;
    QWidget* window = Host().Window();
    if (!main || !window) return;
    const bool shown = stageBarsShown();
    for (ProgressFillBar* bar : s.stageBars)
        if (bar) bar->setVisible(shown);

    const int h = SpinEdit_Height->value();
    const QRect screen = primaryScreen();
    const int sw = screen.width(), sh = screen.height();
    const int align = CB_Align->currentIndex();
    QRect w = window->geometry();
    if (align == 0 || align == 1) {
        w.setLeft(screen.left());
        w.setWidth(sw);
        w.setHeight(shown ? 2 * h : h);
        // The main bar lies below the plan row, or alone at the window's corner, whatever
        // an earlier layout left.
        main->setGeometry(0, shown ? h : 0, sw, h);
        if (shown)
            for (int i = 0; i < int(s.stageBars.size()); ++i)
                if (ProgressFillBar* bar = s.stageBars[i])
                    bar->setGeometry(i * (sw / 8), 0, sw / 8, h);
        w.moveTop(align == 0 ? screen.top() : screen.top() + sh - w.height());
    } else if (align == 2 || align == 3) {
        w.setTop(screen.top());
        w.setHeight(sh);
        w.setWidth(shown ? 2 * h : h);
        main->setGeometry(shown ? h : 0, 0, h, sh);
        // Stage 8 at the top, stage 1 at the bottom, where the filling starts.
        if (shown)
            for (int i = 0; i < int(s.stageBars.size()); ++i)
                if (ProgressFillBar* bar = s.stageBars[i])
                    bar->setGeometry(0, (7 - i) * (sh / 8), h, sh / 8);
        w.moveLeft(align == 3 ? screen.left() + sw - w.width() : screen.left());
    } else {
        return;
    }
    const FillDirection direction =
        align >= 2 ? FillDirection::mdVerticalReverse : FillDirection::mdHorizontal;
    main->setDirection(direction);
    for (ProgressFillBar* bar : s.stageBars)
        if (bar) bar->setDirection(direction);
    window->setGeometry(w);
}

void ProgressPage::CheckBox_fullClick() {
    QWidget* window = Host().Window();
    if (!window) return;
    const QRect screen = primaryScreen();
    const int f = CheckBox_full->isChecked() ? 2 : 1;
    switch (CB_Align->currentIndex()) {
    case 0:
    case 1:
        window->resize(screen.width() * f / 2, window->height());
        break;
    case 2:
    case 3:
        window->resize(window->width(), screen.height() * f / 2);
        break;
    default:
        break;
    }
}

void ProgressPage::btn_CaptionFontClick() {
    ProgressFillBar* bar = mainBar();
    if (!bar) return;
    QFont font = bar->font();
    QColor color = bar->fontColor();
    if (!ChooseFont(window(), font, color)) return;
    bar->setFont(font);
    bar->setFontColor(color);
}

void ProgressPage::edt_captionChange() {
    if (ProgressFillBar* bar = mainBar()) bar->setCaption(edt_caption->text());
}

void ProgressPage::CB_OptionTextChange() {
    ProgressFillBar* bar = mainBar();
    if (!bar) return;
    switch (CB_OptionText->currentIndex()) {
    case 0:
        bar->setTextOption(TextOption::toCaption);
        break;
    case 1:
        bar->setTextOption(TextOption::toNoText);
        break;
    case 2:
        bar->setTextOption(TextOption::toPercent);
        break;
    case OptionStageName:
        // The stage's own name comes with the run; here a stand-in shows where it goes.
        bar->setCaption(QStringLiteral("阶段名称"));
        break;
    default:
        break;
    }
}

void ProgressPage::cb_styleChange() {
    ProgressFillBar* bar = mainBar();
    if (!bar) return;
    if (const auto style = FillStyleOfIndex(cb_style->currentIndex())) bar->setFillStyle(*style);
}

void ProgressPage::cb_bitmap_tileChange() {
    const int tile = cb_bitmap_tile->currentIndex();
    if (ProgressFillBar* bar = mainBar(); bar && tile >= 0 && tile <= 3)
        bar->setTileMode(static_cast<TileMode>(tile));
}

// A file that cannot be used is reported, the bar keeps its picture and the dialog stays
// open; the name is saved on OK all the same, as typed.
void ProgressPage::FileEdit_BitmapChange() {
    ProgressFillBar* bar = mainBar();
    const QString path = FileEdit_Bitmap->value().trimmed();
    if (!bar || path.isEmpty() || path == m_previewedBitmap) return;
    m_previewedBitmap = path;
    QString error;
    if (!bar->loadBitmap(path, &error))
        m_message.Show(window(), QMessageBox::Warning, QStringLiteral("提示"), error);
}

void ProgressPage::SpinEdit_ColorCntChange() {
    if (ProgressFillBar* bar = mainBar()) bar->setGradientColorCount(SpinEdit_ColorCnt->value());
}

void ProgressPage::ColorEdit_EndChange() {
    if (ProgressFillBar* bar = mainBar())
        bar->setGradientEndColor(ColorFromValue(ColorEdit_End->value(), Qt::blue));
}

void ProgressPage::cb_gridentChange() {
    ProgressFillBar* bar = mainBar();
    GradientStyle style;
    if (bar && cb_grident->currentIndex() >= 0 &&
        GradientStyleFromName(cb_grident->currentText(), &style))
        bar->setGradientStyle(style);
}

void ProgressPage::ColorEdit_FillChange() {
    if (ProgressFillBar* bar = mainBar())
        bar->setColor(ColorFromValue(ColorEdit_Fill->value(), SkyBlue));
}

void ProgressPage::CB_AlignChange() {
    PreviewBarLayout();
}

void ProgressPage::SpinEdit_HeightChange() {
    PreviewBarLayout();
}
