#include "antialiasedlabel.h"

#include "colors.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

AntiAliasedLabel::AntiAliasedLabel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AALabel"));
    // The private image covers the whole client area, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(46, 12);
    watchParent();
}

void AntiAliasedLabel::setCaption(const QString& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    changed();
}

void AntiAliasedLabel::setFontColor(const QColor& color) {
    m_fontColor = color;
    m_fontColorValue = ValueFromColor(color);
    changed();
}

void AntiAliasedLabel::setFontColorValue(qint32 value) {
    m_fontColorValue = value;
    m_fontColor = ColorFromValue(value, Qt::black);
    changed();
}

void AntiAliasedLabel::setEffect(const TextEffect& effect) {
    m_effect = effect;
    changed();
}

void AntiAliasedLabel::setAutoSize(bool on) {
    m_autoSize = on;
    changed();
}

void AntiAliasedLabel::setParentColor(bool on) {
    m_parentColor = on;
    changed();
}

void AntiAliasedLabel::setBackgroundColor(const QColor& color) {
    m_color = color;
    m_parentColor = false;
    changed();
}

QColor AntiAliasedLabel::backgroundColor() const {
    if (m_parentColor && parentWidget()) return parentWidget()->palette().color(QPalette::Window);
    return m_color;
}

void AntiAliasedLabel::setAlignment(LabelAlignment alignment) {
    m_alignment = alignment;
    changed();
}

void AntiAliasedLabel::setTextLayout(LabelLayout layout) {
    m_layout = layout;
    changed();
}

void AntiAliasedLabel::setBorder(int pixels) {
    m_border = qMax(0, pixels);
    changed();
}

void AntiAliasedLabel::setTransparent(bool on) {
    m_transparent = on;
    setAttribute(Qt::WA_OpaquePaintEvent, !on);
    changed();
}

void AntiAliasedLabel::setBackgroundPicture(const QImage& picture) {
    m_picture = picture;
    changed();
}

void AntiAliasedLabel::setBackgroundMode(BackgroundMode mode) {
    m_pictureMode = mode;
    changed();
}

void AntiAliasedLabel::setQuality(AAQuality quality) {
    m_renderer.SetQuality(quality);
    changed();
}

AAQuality AntiAliasedLabel::quality() const {
    return m_renderer.quality();
}

void AntiAliasedLabel::beginUpdate() {
    ++m_updateLock;
}

void AntiAliasedLabel::endUpdate() {
    if (m_updateLock > 0 && --m_updateLock == 0) changed();
}

QSize AntiAliasedLabel::textSize() const {
    m_renderer.setFont(font());
    m_renderer.setColor(m_fontColor);
    m_renderer.setEffect(m_effect);
    return m_renderer.MeasureText(m_caption);
}

QPoint AntiAliasedLabel::textPosition() const {
    const QSize ts = textSize();
    int x = m_border, y = m_border;
    if (m_alignment == taRightJustify)
        x = width() - m_border - ts.width();
    else if (m_alignment == taCenter)
        x = (width() - ts.width()) / 2;
    if (m_layout == tlCenter)
        y = (height() - ts.height()) / 2;
    else if (m_layout == tlBottom)
        y = height() - m_border - ts.height();
    return {x, y};
}

QSize AntiAliasedLabel::sizeHint() const {
    return textSize() + QSize(2 * m_border, 2 * m_border);
}

void AntiAliasedLabel::changed() {
    if (m_updateLock > 0) return;
    m_changing = true;
    if (m_autoSize) resize(sizeHint());
    m_changing = false;
    render();
    update();
}

QImage AntiAliasedLabel::transparentBackground() {
    QImage bg(size(), QImage::Format_RGB32);
    bg.fill(backgroundColor());
    // The parent's own background only: siblings are left out, and so is this label.
    if (QWidget* parent = parentWidget())
        parent->render(&bg, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
    return bg;
}

void AntiAliasedLabel::render() {
    if (width() <= 0 || height() <= 0) {
        m_image = QImage();
        return;
    }
    if (m_transparent) {
        m_image = transparentBackground();
    } else {
        if (m_image.size() != size() || m_image.format() != QImage::Format_RGB32)
            m_image = QImage(size(), QImage::Format_RGB32);
        m_image.fill(backgroundColor());
        if (!m_picture.isNull()) {
            QPainter p(&m_image);
            switch (m_pictureMode) {
            case bmTiled:
                p.drawTiledPixmap(m_image.rect(), QPixmap::fromImage(m_picture));
                break;
            case bmStretched:
                p.drawImage(m_image.rect(), m_picture);
                break;
            case bmCenter:
                p.drawImage(
                    QPoint((width() - m_picture.width()) / 2, (height() - m_picture.height()) / 2),
                    m_picture);
                break;
            case bmNormal:
                p.drawImage(QPoint(0, 0), m_picture);
                break;
            }
        }
    }
    if (m_caption.isEmpty()) return;
    const QPoint at = textPosition(); // also brings the renderer up to date
    m_renderer.RenderText(m_image, at.x(), at.y(), m_caption);
}

void AntiAliasedLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void AntiAliasedLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) changed();
    if (event->type() == QEvent::ParentChange) {
        watchParent();
        changed();
    }
    QWidget::changeEvent(event);
}

void AntiAliasedLabel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // During changed() the render follows the resize anyway.
    if (m_updateLock == 0 && !m_changing) render();
}

bool AntiAliasedLabel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_watchedParent && event->type() == QEvent::PaletteChange && m_parentColor)
        changed();
    return QWidget::eventFilter(watched, event);
}

void AntiAliasedLabel::watchParent() {
    if (m_watchedParent) m_watchedParent->removeEventFilter(this);
    m_watchedParent = parentWidget();
    if (m_watchedParent) m_watchedParent->installEventFilter(this);
}
