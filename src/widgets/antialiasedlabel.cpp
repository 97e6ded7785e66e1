#include "antialiasedlabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

AntiAliasedLabel::AntiAliasedLabel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AALabel"));
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
    m_quality = quality;
    changed();
}

AAQuality AntiAliasedLabel::quality() const {
    return m_quality;
}

void AntiAliasedLabel::beginUpdate() {
    ++m_updateLock;
}

void AntiAliasedLabel::endUpdate() {
    if (m_updateLock > 0 && --m_updateLock == 0) changed();
}

QSize AntiAliasedLabel::textSize() const {
    if (m_caption.isEmpty()) return {0, 0};
    QFontMetrics fm(font());
    return {fm.horizontalAdvance(m_caption), fm.height()};
}

QSize AntiAliasedLabel::sizeHint() const {
    return textSize() + QSize(2 * m_border, 2 * m_border);
}

void AntiAliasedLabel::changed() {
    if (m_updateLock > 0) return;
    if (m_autoSize) resize(sizeHint());
    render();
    update();
}

void AntiAliasedLabel::render() {
    m_image = QImage(size(), QImage::Format_RGB32);
    m_image.fill(backgroundColor());
    QPainter p(&m_image);
    p.setFont(font());
    p.setPen(m_fontColor);
    const QSize ts = textSize();
    p.drawText(QRect(QPoint(m_border, m_border), ts), Qt::AlignLeft | Qt::AlignTop, m_caption);
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
    if (m_updateLock == 0) render();
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
