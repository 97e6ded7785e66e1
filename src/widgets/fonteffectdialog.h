#pragma once

#include "texteffect.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QImage>
#include <QObject>

class AntiAliasedLabel;
class ColorSwatch;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class SpinField;

// The font-and-effect window: every field of a TextEffect in four groups, previewed at
// once on a sample text. It edits the sample label's font and effect; its owner
// (SmoothFontDialog) copies them in before and out after.
class FontEffectDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontEffectDialog(QWidget* parent = nullptr);

    // Shows the effect on the sample and sets every control from it, without previewing.
    void LoadEffect(const TextEffect& effect);
    void setSampleFont(const QFont& font, const QColor& color);

    AntiAliasedLabel* sample() const { return m_sample; }
    static QString sampleText();

    // Group "阴影(&S)"
    QGroupBox* gbShadow;
    QCheckBox* cbShadow;
    SpinField *seShadowBlur, *seShadowAlpha, *seOffsetX, *seOffsetY;
    ColorSwatch* spShadow;
    // Group "渐变(&G)"
    QGroupBox* gbGradual;
    QCheckBox* cbGradual;
    ColorSwatch *spStartColor, *spEndColor;
    QRadioButton *rbLeftToRight, *rbRightToLeft, *rbTopToBottom, *rbBottomToTop, *rbCenterToLR,
        *rbCenterToTB;
    // Group "字体纹理(&T)"
    QGroupBox* gbTexture;
    QCheckBox* cbTexture;
    QRadioButton *rbTile, *rbStretched, *rbCenter, *rbNormal;
    QPushButton *btnOpenPic, *btnClearPic;
    QLabel* lblPicture;
    // Group "其它效果(&O)"
    QGroupBox* gbOther;
    SpinField *seBlur, *seAlpha, *seNoise, *seSpray, *seAngle;
    QCheckBox *cbOutline, *cbHorzMirror, *cbVertMirror;

    QFrame* Panel1;
    QPushButton *btnFont, *btnOK, *btnCancel;

signals:
    // The controls were written into the sample's effect (once per change).
    void previewWritten();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildShadowGroup();
    void buildGradualGroup();
    void buildTextureGroup();
    void buildOtherGroup();
    void connectPreview();
    void applyEnabling(QGroupBox* group, QCheckBox* check);
    void writePreview();
    void openPicture();
    void clearPicture();
    void chooseFont();
    void showPictureState();
    void fitSample();

    AntiAliasedLabel* m_sample;
    QButtonGroup* m_gradualStyles;
    QButtonGroup* m_textureModes;
    QImage m_picture;
    bool m_loading = false;
    bool m_writing = false;
    bool m_placed = false;
};

// The component a caller holds: a font, an effect and whether the font may be changed.
// Execute() shows the window modally on copies of them; only OK hands the result back.
class SmoothFontDialog : public QObject {
    Q_OBJECT
public:
    explicit SmoothFontDialog(QObject* parent = nullptr);

    QFont font() const { return m_font; }
    void setFont(const QFont& font) { m_font = font; }
    QColor fontColor() const { return m_fontColor; }
    void setFontColor(const QColor& color) { m_fontColor = color; }
    const TextEffect& effect() const { return m_effect; }
    void setEffect(const TextEffect& effect) { m_effect = effect; }
    bool allowChangeFont() const { return m_allowChangeFont; }
    void setAllowChangeFont(bool on) { m_allowChangeFont = on; }

    // True when the window was closed with OK.
    bool Execute(QWidget* parent = nullptr);

signals:
    void shown(FontEffectDialog* dialog); // just before the window opens
    void closed();

private:
    QFont m_font;
    QColor m_fontColor;
    TextEffect m_effect;
    bool m_allowChangeFont = false;
};

// The sample label's font: 楷体_GB2312, 19 pixels.
QFont SampleFont();
// Reads a texture picture (JPEG, BMP, PNG, GIF), flattened onto white as the JPEG file
// will keep it. A null image and a Chinese message in *error when it cannot.
QImage ReadTexturePicture(const QString& path, QString* error);
