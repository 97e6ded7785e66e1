#pragma once

#include "texteffect.h"
#include "textrenderer.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

enum LabelAlignment { taLeftJustify, taRightJustify, taCenter };
enum LabelLayout { tlTop, tlCenter, tlBottom };
enum BackgroundMode { bmTiled, bmStretched, bmCenter, bmNormal };

// One line of anti-aliased text with effects (shadow, blur, outline, gradient, texture...).
// It draws into a private image that is rebuilt on every change of caption, font, colour,
// size or effect, and only copies that image when painted. Mouse presses are left to the
// parent window (which drags itself).
class AntiAliasedLabel : public QWidget {
    Q_OBJECT
public:
    explicit AntiAliasedLabel(QWidget* parent = nullptr); // a new label is 46 x 12

    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }

    // The font is QWidget::font()/setFont(); a font change re-renders.
    void setFontColor(const QColor& color);
    QColor fontColor() const { return m_fontColor; }
    // The font colour as a js.ini colour value. A system colour or "no colour" is kept as
    // it was set, so that saving writes it back unchanged; it draws in the desktop's colour
    // (or black for "no colour"). setFontColor() sets the plain value of its colour.
    void setFontColorValue(qint32 value);
    qint32 fontColorValue() const { return m_fontColorValue; }

    const TextEffect& effect() const { return m_effect; }
    void setEffect(const TextEffect& effect);

    // On by default: after every change the label resizes itself to the measured text
    // (shadow included) plus twice the border.
    void setAutoSize(bool on);
    bool autoSize() const { return m_autoSize; }

    // On by default: the background is the parent's QPalette::Window colour.
    void setParentColor(bool on);
    bool parentColor() const { return m_parentColor; }
    // The background used while the parent colour is off.
    void setBackgroundColor(const QColor& color);
    // The background actually drawn.
    QColor backgroundColor() const;

    void setAlignment(LabelAlignment alignment);
    LabelAlignment alignment() const { return m_alignment; }
    void setTextLayout(LabelLayout layout);
    LabelLayout textLayout() const { return m_layout; }
    void setBorder(int pixels);
    int border() const { return m_border; }

    // Transparent: the text is drawn over the parent's background instead of a filled box.
    void setTransparent(bool on);
    bool transparent() const { return m_transparent; }

    void setBackgroundPicture(const QImage& picture);
    const QImage& backgroundPicture() const { return m_picture; }
    void setBackgroundMode(BackgroundMode mode);
    BackgroundMode backgroundMode() const { return m_pictureMode; }

    void setQuality(AAQuality quality);
    AAQuality quality() const;

    // Between beginUpdate() and endUpdate() changes do not re-render; endUpdate() renders
    // once. Calls nest.
    void beginUpdate();
    void endUpdate();

    // Extent of the caption as drawn, shadow included.
    QSize textSize() const;
    // Top-left corner of the text's extent in the client area.
    QPoint textPosition() const;
    // The rendered client area (what paintEvent copies to the screen).
    const QImage& image() const { return m_image; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void changed();
    void render();
    QImage transparentBackground();
    void watchParent();

    QString m_caption;
    QColor m_fontColor = Qt::black;
    qint32 m_fontColorValue = 0;
    QColor m_color = QColor(0xF0, 0xF0, 0xF0);
    TextEffect m_effect;
    mutable TextRenderer m_renderer; // measuring reuses its scratch image
    bool m_autoSize = true;
    bool m_parentColor = true;
    LabelAlignment m_alignment = taLeftJustify;
    LabelLayout m_layout = tlTop;
    int m_border = 0;
    bool m_transparent = false;
    QImage m_picture;
    BackgroundMode m_pictureMode = bmCenter;
    int m_updateLock = 0;
    bool m_changing = false;
    QObject* m_watchedParent = nullptr;
    QImage m_image;
};
