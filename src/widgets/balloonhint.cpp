#include "balloonhint.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QToolTip>
#include <QVBoxLayout>

namespace {
constexpr int ArrowHeight = 14;
constexpr int ArrowHalfWidth = 9;
constexpr int Radius = 8;
constexpr int Padding = 10;
} // namespace

BalloonHint::BalloonHint(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("BalloonHint"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The tool-tip colours of the desktop, not those of the owner window, whose background
    // changes with the run (alarm and overtime colours).
    setPalette(QToolTip::palette());
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);

    m_titleLabel = new QLabel(this);
    m_titleLabel->setObjectName(QStringLiteral("BalloonTitle"));
    QFont bold = m_titleLabel->font();
    bold.setBold(true);
    m_titleLabel->setFont(bold);
    m_textLabel = new QLabel(this);
    m_textLabel->setObjectName(QStringLiteral("BalloonText"));
    for (QLabel* label : {m_titleLabel, m_textLabel}) {
        label->setTextFormat(Qt::PlainText);
        label->setForegroundRole(QPalette::ToolTipText);
        // A click anywhere on the bubble closes it, also on the text.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);
    layout->addWidget(m_titleLabel);
    layout->addWidget(m_textLabel);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, &QWidget::hide);
}

QString BalloonHint::title() const {
    return m_titleLabel->text();
}

void BalloonHint::showMessage(QWidget* target, const QString& title, const QString& text,
                              int msecs) {
    m_text = text;
    m_titleLabel->setText(title);
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_textLabel->setText(shown);
    placeAt(target);
    show();
    raise();
    update();
    m_hideTimer.start(std::max(msecs, 0));
}

void BalloonHint::placeAt(QWidget* target) {
    const bool onTarget = target && target->isVisible();
    QScreen* screen = onTarget ? target->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);

    // Try below the target first; the arrow then points up at its bottom edge.
    const QRect frame = onTarget ? target->frameGeometry() : QRect(avail.center(), QSize(1, 1));
    layout()->setContentsMargins(Padding, Padding + ArrowHeight, Padding, Padding);
    layout()->activate();
    adjustSize();
    QPoint tip(frame.center().x(), frame.bottom() + 1);
    m_arrowUp = tip.y() + height() <= avail.bottom() + 1;
    if (!m_arrowUp) {
        layout()->setContentsMargins(Padding, Padding, Padding, Padding + ArrowHeight);
        layout()->activate();
        adjustSize();
        tip = QPoint(frame.center().x(), frame.top());
    }
    int x = tip.x() - 2 * Radius - ArrowHalfWidth;
    x = std::clamp(x, avail.left(), std::max(avail.left(), avail.right() + 1 - width()));
    m_arrowX = std::clamp(tip.x() - x, Radius + ArrowHalfWidth, width() - Radius - ArrowHalfWidth);
    move(x, m_arrowUp ? tip.y() : tip.y() - height());
    // Without a compositor a translucent window would show black corners; the mask cuts
    // the window to the bubble's outline instead.
    setMask(QRegion(bubblePath().toFillPolygon().toPolygon()));
}

QPainterPath BalloonHint::bubblePath() const {
    const QRectF body = m_arrowUp ? QRectF(0, ArrowHeight, width(), height() - ArrowHeight)
                                  : QRectF(0, 0, width(), height() - ArrowHeight);
    QPainterPath path;
    path.addRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), Radius, Radius);
    QPolygonF arrow;
    if (m_arrowUp)
        arrow << QPointF(m_arrowX - ArrowHalfWidth, ArrowHeight + 1) << QPointF(m_arrowX, 0)
              << QPointF(m_arrowX + ArrowHalfWidth, ArrowHeight + 1);
    else
        arrow << QPointF(m_arrowX - ArrowHalfWidth, height() - ArrowHeight - 1)
              << QPointF(m_arrowX, height())
              << QPointF(m_arrowX + ArrowHalfWidth, height() - ArrowHeight - 1);
    QPainterPath arrowPath;
    arrowPath.addPolygon(arrow);
    arrowPath.closeSubpath();
    return path.united(arrowPath);
}

void BalloonHint::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::ToolTipText), 1));
    p.setBrush(palette().color(QPalette::ToolTipBase));
    p.drawPath(bubblePath());
}

void BalloonHint::mousePressEvent(QMouseEvent* event) {
    m_hideTimer.stop();
    hide();
    event->accept();
}

void BalloonHint::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    setMask(QRegion(bubblePath().toFillPolygon().toPolygon()));
}
