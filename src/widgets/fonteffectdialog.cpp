#include "fonteffectdialog.h"

#include "antialiasedlabel.h"
#include "colorfield.h"
#include "colors.h"
#include "fontcolordialog.h"
#include "jpegio.h"
#include "qtchinese.h"
#include "spinfield.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

constexpr qint32 WindowTextColor = static_cast<qint32>(0xFF000008u); // system colour 8

QLabel* labelFor(QWidget* buddy, const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(buddy);
    return label;
}

SpinField* spin(const char* name, int minimum, int maximum, QWidget* parent) {
    auto* field = new SpinField(minimum, maximum, parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

template <class T> T* named(const char* name, const char* text, QWidget* parent) {
    auto* w = new T(QString::fromUtf8(text), parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

ColorSwatch* swatch(const char* name, QWidget* parent) {
    auto* s = new ColorSwatch(parent);
    s->setObjectName(QString::fromLatin1(name));
    return s;
}

void check(QButtonGroup* group, int id) {
    QAbstractButton* b = group->button(id);
    if (!b) b = group->button(0); // a stored number outside the list: the first choice
    b->setChecked(true);
}

int checkedNumber(const QButtonGroup* group) {
    // The first checked button in the order of the numbers.
    for (int id = 0; id < int(group->buttons().size()); ++id)
        if (group->button(id) && group->button(id)->isChecked()) return id;
    return 0;
}

QString& lastPictureDir() {
    static QString dir = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return dir;
}

} // namespace

QFont SampleFont() {
    QFont font(QStringLiteral("楷体_GB2312"));
    font.setPixelSize(19);
    return font;
}

QImage ReadTexturePicture(const QString& path, QString* error) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("无法打开图片文件“%1”。").arg(shown);
        return QImage();
    }
    const QByteArray head = file.peek(2);
    file.close();
    QImage image;
    if (head == QByteArray("\xFF\xD8", 2)) {
        image = ReadJpeg(path);
    } else {
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        image = reader.read();
    }
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("无法读取图片文件“%1”：文件已损坏，或不是 JPEG、BMP、PNG、GIF "
                                    "图片。")
                         .arg(shown);
        return QImage();
    }
    // The picture is kept as a JPEG file, which has no transparency.
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter p(&flat);
    p.drawImage(0, 0, image);
    p.end();
    return flat;
}

// FontEffectDialog

QString FontEffectDialog::sampleText() {
    return QStringLiteral("平滑特效字体 Pendra");
}

FontEffectDialog::FontEffectDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FontEffectDialog"));
    setWindowTitle(QStringLiteral("平滑特效字体"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("宋体"), 9));

    buildShadowGroup();
    buildGradualGroup();
    buildTextureGroup();
    buildOtherGroup();

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_sample = new AntiAliasedLabel(Panel1);
    m_sample->setObjectName(QStringLiteral("SampleLabel"));
    m_sample->setAutoSize(false);
    m_sample->setAlignment(taCenter);
    m_sample->setTextLayout(tlCenter);
    m_sample->setBackgroundColor(Qt::white);
    m_sample->setFont(SampleFont());
    m_sample->setFontColor(ColorFromValue(WindowTextColor, Qt::black));
    m_sample->setCaption(sampleText());
    // The panel decides the size, not the text.
    m_sample->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    auto* panelLayout = new QVBoxLayout(Panel1);
    const int frame = Panel1->frameWidth();
    panelLayout->setContentsMargins(frame, frame, frame, frame);
    panelLayout->addWidget(m_sample);

    btnFont = named<QPushButton>("btnFont", "字体(&F)...", this);
    btnOK = named<QPushButton>("btnOK", "确定(&O)", this);
    btnCancel = named<QPushButton>("btnCancel", "取消(&C)", this);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnFont, &QPushButton::clicked, this, &FontEffectDialog::chooseFont);

    auto* groups = new QGridLayout;
    groups->addWidget(gbShadow, 0, 0);
    groups->addWidget(gbGradual, 0, 1);
    groups->addWidget(gbTexture, 1, 0);
    groups->addWidget(gbOther, 1, 1);
    groups->addWidget(Panel1, 2, 0, 1, 2);
    groups->setRowStretch(2, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addSpacing(12);
    buttons->addWidget(btnFont);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(groups, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // a fixed dialog frame

    connectPreview();
    LoadEffect(TextEffect());
    fitSample();
}

void FontEffectDialog::buildShadowGroup() {
    gbShadow = new QGroupBox(QStringLiteral("阴影(&S)"), this);
    gbShadow->setObjectName(QStringLiteral("gbShadow"));
    cbShadow = named<QCheckBox>("cbShadow", "显示阴影", gbShadow);
    seShadowBlur = spin("seShadowBlur", 0, 100, gbShadow);
    seShadowAlpha = spin("seShadowAlpha", 0, 100, gbShadow);
    seOffsetX = spin("seOffsetX", -20, 20, gbShadow);
    seOffsetY = spin("seOffsetY", -20, 20, gbShadow);
    spShadow = swatch("spShadow", gbShadow);
    auto* g = new QGridLayout(gbShadow);
    g->addWidget(cbShadow, 0, 0, 1, 4);
    g->addWidget(labelFor(seShadowBlur, "模糊度:", gbShadow), 1, 0);
    g->addWidget(seShadowBlur, 1, 1);
    g->addWidget(labelFor(seShadowAlpha, "不透明度:", gbShadow), 1, 2);
    g->addWidget(seShadowAlpha, 1, 3);
    g->addWidget(labelFor(seOffsetX, "水平偏移:", gbShadow), 2, 0);
    g->addWidget(seOffsetX, 2, 1);
    g->addWidget(labelFor(seOffsetY, "垂直偏移:", gbShadow), 2, 2);
    g->addWidget(seOffsetY, 2, 3);
    g->addWidget(labelFor(spShadow, "阴影颜色:", gbShadow), 3, 0);
    g->addWidget(spShadow, 3, 1, Qt::AlignLeft);
    g->setRowStretch(4, 1);
    g->setColumnStretch(4, 1); // a wide dialog (a large font) widens the margin only
}

void FontEffectDialog::buildGradualGroup() {
    gbGradual = new QGroupBox(QStringLiteral("渐变(&G)"), this);
    gbGradual->setObjectName(QStringLiteral("gbGradual"));
    cbGradual = named<QCheckBox>("cbGradual", "允许渐变绘制", gbGradual);
    spStartColor = swatch("spStartColor", gbGradual);
    spEndColor = swatch("spEndColor", gbGradual);
    rbLeftToRight = named<QRadioButton>("rbLeftToRight", "从左到右渐变", gbGradual);
    rbRightToLeft = named<QRadioButton>("rbRightToLeft", "从右到左渐变", gbGradual);
    rbTopToBottom = named<QRadioButton>("rbTopToBottom", "从上到下渐变", gbGradual);
    rbBottomToTop = named<QRadioButton>("rbBottomToTop", "从下到上渐变", gbGradual);
    rbCenterToLR = named<QRadioButton>("rbCenterToLR", "从中间到左右", gbGradual);
    rbCenterToTB = named<QRadioButton>("rbCenterToTB", "从中间到上下", gbGradual);
    m_gradualStyles = new QButtonGroup(this);
    int id = 0;
    for (QRadioButton* b :
         {rbLeftToRight, rbRightToLeft, rbTopToBottom, rbBottomToTop, rbCenterToLR, rbCenterToTB})
        m_gradualStyles->addButton(b, id++);
    auto* g = new QGridLayout(gbGradual);
    g->addWidget(cbGradual, 0, 0, 1, 4);
    g->addWidget(labelFor(spStartColor, "起始颜色:", gbGradual), 1, 0);
    g->addWidget(spStartColor, 1, 1, Qt::AlignLeft);
    g->addWidget(labelFor(spEndColor, "结束颜色:", gbGradual), 1, 2);
    g->addWidget(spEndColor, 1, 3, Qt::AlignLeft);
    g->addWidget(rbLeftToRight, 2, 0, 1, 2);
    g->addWidget(rbRightToLeft, 2, 2, 1, 2);
    g->addWidget(rbTopToBottom, 3, 0, 1, 2);
    g->addWidget(rbBottomToTop, 3, 2, 1, 2);
    g->addWidget(rbCenterToLR, 4, 0, 1, 2);
    g->addWidget(rbCenterToTB, 4, 2, 1, 2);
    g->setRowStretch(5, 1);
    g->setColumnStretch(4, 1); // a wide dialog (a large font) widens the margin only
}

void FontEffectDialog::buildTextureGroup() {
    gbTexture = new QGroupBox(QStringLiteral("字体纹理(&T)"), this);
    gbTexture->setObjectName(QStringLiteral("gbTexture"));
    cbTexture = named<QCheckBox>("cbTexture", "允许字体纹理", gbTexture);
    rbTile = named<QRadioButton>("rbTile", "平铺", gbTexture);
    rbStretched = named<QRadioButton>("rbStretched", "缩放", gbTexture);
    rbCenter = named<QRadioButton>("rbCenter", "中心", gbTexture);
    rbNormal = named<QRadioButton>("rbNormal", "默认", gbTexture);
    m_textureModes = new QButtonGroup(this);
    int id = 0;
    for (QRadioButton* b : {rbTile, rbStretched, rbCenter, rbNormal})
        m_textureModes->addButton(b, id++);
    btnOpenPic = named<QPushButton>("btnOpenPic", "选择图片(&P)...", gbTexture);
    btnClearPic = named<QPushButton>("btnClearPic", "清除图片(&L)", gbTexture);
    lblPicture = new QLabel(gbTexture);
    lblPicture->setObjectName(QStringLiteral("lblPicture"));
    connect(btnOpenPic, &QPushButton::clicked, this, &FontEffectDialog::openPicture);
    connect(btnClearPic, &QPushButton::clicked, this, &FontEffectDialog::clearPicture);
    auto* g = new QGridLayout(gbTexture);
    g->addWidget(cbTexture, 0, 0, 1, 2);
    g->addWidget(rbTile, 1, 0);
    g->addWidget(rbStretched, 1, 1);
    g->addWidget(rbCenter, 2, 0);
    g->addWidget(rbNormal, 2, 1);
    g->addWidget(btnOpenPic, 3, 0);
    g->addWidget(btnClearPic, 3, 1);
    g->addWidget(lblPicture, 4, 0, 1, 2);
    g->setRowStretch(5, 1);
    g->setColumnStretch(2, 1); // a wide dialog (a large font) widens the margin only
}

void FontEffectDialog::buildOtherGroup() {
    gbOther = new QGroupBox(QStringLiteral("其它效果(&O)"), this);
    gbOther->setObjectName(QStringLiteral("gbOther"));
    seBlur = spin("seBlur", 0, 100, gbOther);
    seAlpha = spin("seAlpha", 0, 100, gbOther);
    seNoise = spin("seNoise", 0, 255, gbOther);
    seSpray = spin("seSpray", 0, 255, gbOther);
    seAngle = spin("seAngle", -360, 360, gbOther);
    cbOutline = named<QCheckBox>("cbOutline", "轮廓效果", gbOther);
    cbHorzMirror = named<QCheckBox>("cbHorzMirror", "水平镜象效果", gbOther);
    cbVertMirror = named<QCheckBox>("cbVertMirror", "垂直镜象效果", gbOther);
    auto* g = new QGridLayout(gbOther);
    g->addWidget(labelFor(seBlur, "模糊度:", gbOther), 0, 0);
    g->addWidget(seBlur, 0, 1);
    g->addWidget(labelFor(seAlpha, "不透明度:", gbOther), 0, 2);
    g->addWidget(seAlpha, 0, 3);
    g->addWidget(labelFor(seNoise, "噪声点:", gbOther), 1, 0);
    g->addWidget(seNoise, 1, 1);
    g->addWidget(labelFor(seSpray, "喷溅效果:", gbOther), 1, 2);
    g->addWidget(seSpray, 1, 3);
    g->addWidget(labelFor(seAngle, "旋转角度:", gbOther), 2, 0);
    g->addWidget(seAngle, 2, 1);
    g->addWidget(cbOutline, 3, 0, 1, 2);
    g->addWidget(cbHorzMirror, 3, 2, 1, 2);
    g->addWidget(cbVertMirror, 4, 0, 1, 2);
    g->setRowStretch(5, 1);
    g->setColumnStretch(4, 1); // a wide dialog (a large font) widens the margin only
}

void FontEffectDialog::connectPreview() {
    const auto groupCheck = [this](QCheckBox* box, QGroupBox* group) {
        connect(box, &QCheckBox::toggled, this, [this, box, group] {
            if (m_loading) return;
            applyEnabling(group, box);
            writePreview();
        });
    };
    groupCheck(cbShadow, gbShadow);
    groupCheck(cbGradual, gbGradual);
    groupCheck(cbTexture, gbTexture);
    for (QCheckBox* box : {cbOutline, cbHorzMirror, cbVertMirror})
        connect(box, &QCheckBox::toggled, this, &FontEffectDialog::writePreview);
    for (SpinField* field : {seShadowBlur, seShadowAlpha, seOffsetX, seOffsetY, seBlur, seAlpha,
                             seNoise, seSpray, seAngle})
        connect(field, &QSpinBox::valueChanged, this, &FontEffectDialog::writePreview);
    for (ColorSwatch* s : {spShadow, spStartColor, spEndColor})
        connect(s, &ColorSwatch::valueChanged, this, &FontEffectDialog::writePreview);
    // A new choice unchecks one button and checks another: preview once, for the latter.
    for (QButtonGroup* group : {m_gradualStyles, m_textureModes})
        connect(group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
            if (checked) writePreview();
        });
}

void FontEffectDialog::LoadEffect(const TextEffect& e) {
    m_loading = true;
    m_sample->setEffect(e);
    cbShadow->setChecked(e.Shadow.Enabled);
    seShadowBlur->setValue(e.Shadow.Blur);
    seShadowAlpha->setValue(e.Shadow.Alpha);
    seOffsetX->setValue(e.Shadow.OffsetX);
    seOffsetY->setValue(e.Shadow.OffsetY);
    spShadow->setValue(e.Shadow.Color);
    cbGradual->setChecked(e.Gradual.Enabled);
    spStartColor->setValue(e.Gradual.StartColor);
    spEndColor->setValue(e.Gradual.EndColor);
    check(m_gradualStyles, e.Gradual.Style);
    cbTexture->setChecked(e.Texture.Enabled);
    check(m_textureModes, e.Texture.Mode);
    m_picture = e.Texture.Picture;
    showPictureState();
    seBlur->setValue(e.Blur);
    seAlpha->setValue(e.Alpha);
    seAngle->setValue(e.Angle);
    seNoise->setValue(e.Noise);
    seSpray->setValue(e.Spray);
    cbOutline->setChecked(e.Outline);
    cbHorzMirror->setChecked(e.HorzMirror);
    cbVertMirror->setChecked(e.VertMirror);
    m_loading = false;
    applyEnabling(gbShadow, cbShadow);
    applyEnabling(gbGradual, cbGradual);
    applyEnabling(gbTexture, cbTexture);
}

void FontEffectDialog::setSampleFont(const QFont& font, const QColor& color) {
    m_sample->beginUpdate();
    m_sample->setFont(font);
    m_sample->setFontColor(color);
    m_sample->endUpdate();
    fitSample();
}

void FontEffectDialog::applyEnabling(QGroupBox* group, QCheckBox* box) {
    const bool on = box->isChecked();
    for (QWidget* w : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w != box) w->setEnabled(on);
}

void FontEffectDialog::writePreview() {
    if (m_loading || m_writing) return;
    m_writing = true;
    TextEffect e = m_sample->effect();
    e.Shadow.Enabled = cbShadow->isChecked();
    e.Shadow.Blur = static_cast<quint8>(seShadowBlur->value());
    e.Shadow.Alpha = static_cast<quint8>(seShadowAlpha->value());
    e.Shadow.OffsetX = static_cast<qint8>(seOffsetX->value());
    e.Shadow.OffsetY = static_cast<qint8>(seOffsetY->value());
    e.Shadow.Color = spShadow->value();
    e.Gradual.Enabled = cbGradual->isChecked();
    e.Gradual.StartColor = spStartColor->value();
    e.Gradual.EndColor = spEndColor->value();
    e.Gradual.Style = static_cast<quint8>(checkedNumber(m_gradualStyles));
    e.Texture.Enabled = cbTexture->isChecked();
    e.Texture.Mode = static_cast<quint8>(checkedNumber(m_textureModes));
    e.Texture.Picture = m_picture;
    e.Blur = static_cast<quint8>(seBlur->value());
    e.Alpha = static_cast<quint8>(seAlpha->value());
    e.Angle = static_cast<qint16>(seAngle->value());
    e.Noise = static_cast<quint8>(seNoise->value());
    e.Spray = static_cast<quint8>(seSpray->value());
    e.Outline = cbOutline->isChecked();
    e.HorzMirror = cbHorzMirror->isChecked();
    e.VertMirror = cbVertMirror->isChecked();
    m_sample->setEffect(e); // one render for the whole set
    m_writing = false;
    emit previewWritten();
}

void FontEffectDialog::openPicture() {
    InstallQtChineseTranslations();
    QFileDialog dialog(this, QStringLiteral("选择图片"), lastPictureDir(),
                       QStringLiteral("图片文件 (*.jpg *.jpeg *.bmp *.png *.gif);;所有文件 (*)"));
    dialog.setObjectName(QStringLiteral("OpenPictureDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().first();
    lastPictureDir() = QFileInfo(path).absolutePath();
    QString error;
    QImage picture = ReadTexturePicture(path, &error);
    if (picture.isNull()) {
        QMessageBox box(QMessageBox::Warning, windowTitle(), error, QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("PictureError"));
        box.exec();
        return; // the picture stays as it was
    }
    m_picture = std::move(picture);
    showPictureState();
    writePreview();
}

void FontEffectDialog::clearPicture() {
    m_picture = QImage();
    showPictureState();
    writePreview();
}

void FontEffectDialog::chooseFont() {
    QFont font = m_sample->font();
    QColor color = m_sample->fontColor();
    if (!ChooseFont(this, font, color)) return;
    m_sample->beginUpdate();
    m_sample->setFont(font);
    m_sample->setFontColor(color);
    writePreview();
    m_sample->endUpdate(); // one render for font, colour and effect
    fitSample();
}

void FontEffectDialog::showPictureState() {
    lblPicture->setText(
        m_picture.isNull()
            ? QStringLiteral("（无图片）")
            : QStringLiteral("图片 %1 × %2").arg(m_picture.width()).arg(m_picture.height()));
}

void FontEffectDialog::fitSample() {
    // Room for the sample text with a shadow's offsets, as far as the screen allows (with
    // room left for the title bar).
    const QFontMetrics metrics(m_sample->font());
    QSize want(metrics.horizontalAdvance(sampleText()) + 48, metrics.height() + 32);
    want = want.expandedTo(QSize(0, 64));
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s) {
        const QSize avail = s->availableGeometry().size();
        const int groupsHigh = gbShadow->sizeHint().height() + gbTexture->sizeHint().height();
        want = want.boundedTo(QSize(avail.width() - btnOK->sizeHint().width() - 64,
                                    qMax(64, avail.height() - groupsHigh - 136)));
    }
    Panel1->setMinimumSize(want);
    if (!isVisible() || !s) return;
    layout()->activate();
    // A larger font may grow the dialog past the screen's edge: bring it back.
    const QRect avail = s->availableGeometry();
    QRect frame = frameGeometry();
    if (frame.right() > avail.right()) frame.moveRight(avail.right());
    if (frame.bottom() > avail.bottom()) frame.moveBottom(avail.bottom());
    if (frame.left() < avail.left()) frame.moveLeft(avail.left());
    if (frame.top() < avail.top()) frame.moveTop(avail.top());
    move(frame.topLeft());
}

void FontEffectDialog::showEvent(QShowEvent* event) {
    if (!m_placed) {
        m_placed = true;
        const QScreen* s =
            parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
        if (s) {
            const QRect avail = s->availableGeometry();
            move(avail.center() - QPoint(width() / 2, height() / 2));
        }
    }
    QDialog::showEvent(event);
}

// SmoothFontDialog

SmoothFontDialog::SmoothFontDialog(QObject* parent)
    : QObject(parent), m_font(SampleFont()),
      m_fontColor(ColorFromValue(WindowTextColor, Qt::black)) {}

bool SmoothFontDialog::Execute(QWidget* parent) {
    FontEffectDialog dialog(parent);
    dialog.LoadEffect(m_effect);
    dialog.btnFont->setVisible(m_allowChangeFont);
    if (m_allowChangeFont) dialog.setSampleFont(m_font, m_fontColor);
    emit shown(&dialog);
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (ok) {
        m_effect = dialog.sample()->effect();
        if (m_allowChangeFont) {
            m_font = dialog.sample()->font();
            m_fontColor = dialog.sample()->fontColor();
        }
    }
    emit closed();
    return ok;
}
