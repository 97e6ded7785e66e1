#include "colorfield.h"

#include "colors.h"
#include "colorvalue.h"
#include "qtchinese.h"

#include <QColorDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>

namespace {

struct NamedColor {
    qint32 value;
    const char* name;
};

// The sixteen basic colours and four more of the Windows colour boxes.
constexpr NamedColor StandardColors[] = {
    {0x000000, "黑色"},   {0x000080, "栗色"},   {0x008000, "绿色"},   {0x008080, "橄榄色"},
    {0x800000, "藏青色"}, {0x800080, "紫色"},   {0x808000, "水鸭色"}, {0x808080, "灰色"},
    {0xC0C0C0, "银色"},   {0x0000FF, "红色"},   {0x00FF00, "亮绿色"}, {0x00FFFF, "黄色"},
    {0xFF0000, "蓝色"},   {0xFF00FF, "紫红色"}, {0xFFFF00, "青色"},   {0xFFFFFF, "白色"},
    {0xC0DCC0, "钱绿色"}, {0xF0CAA6, "天蓝色"}, {0xF0FBFF, "奶油色"}, {0xA0A0A4, "中灰色"},
};

// Windows system colour indices 0-30; 25 names no colour.
constexpr const char* SystemNames[] = {
    "滚动条",   "桌面",       "活动标题栏",     "非活动标题栏",     "菜单",
    "窗口背景", "窗口边框",   "菜单文本",       "窗口文本",         "标题栏文本",
    "活动边框", "非活动边框", "应用程序工作区", "选中项背景",       "选中项文本",
    "按钮表面", "按钮阴影",   "灰色文本",       "按钮文本",         "非活动标题栏文本",
    "按钮高光", "三维深阴影", "三维亮面",       "提示文本",         "提示背景",
    nullptr,    "超链接",     "活动标题栏渐变", "非活动标题栏渐变", "菜单高亮",
    "菜单栏",
};
constexpr int SystemColorCount = int(std::size(SystemNames));

constexpr int ValueRole = Qt::UserRole;
constexpr int CustomRole = Qt::UserRole + 1; // the "自定义…" entry

qint32 systemValue(int index) {
    return static_cast<qint32>(0xFF000000u | quint32(index));
}

QIcon sampleIcon(qint32 value) {
    const qreal ratio = 2; // sharp at 150 % and 200 % scaling as well
    QPixmap pixmap(QSize(20, 14) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    PaintColorSample(p, QRect(0, 0, 20, 14), value);
    return QIcon(pixmap);
}

} // namespace

QString SystemColorName(int index) {
    if (index < 0 || index >= SystemColorCount || !SystemNames[index]) return QString();
    return QString::fromUtf8(SystemNames[index]);
}

QString ColorValueName(qint32 value) {
    if (value == ColorValue::None) return QStringLiteral("无");
    for (const NamedColor& c : StandardColors)
        if (c.value == value) return QString::fromUtf8(c.name);
    if (ColorValue::isSystem(value) && (value & 0xFFFF00) == 0) {
        const int index = ColorValue::systemIndex(value);
        const QString name = SystemColorName(index);
        return name.isEmpty() ? QStringLiteral("系统颜色 %1").arg(index) : name;
    }
    if ((static_cast<quint32>(value) >> 24) == 0)
        return QStringLiteral("#%1")
            .arg(ColorValue::toRgb(value), 6, 16, QLatin1Char('0'))
            .toUpper();
    return QStringLiteral("颜色值 %1").arg(value);
}

void PaintColorSample(QPainter& p, const QRect& rect, qint32 value) {
    p.save();
    const QRect inner = rect.adjusted(1, 1, -1, -1);
    if (value == ColorValue::None) {
        p.fillRect(inner, Qt::white);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(200, 0, 0), 1.2));
        p.drawLine(QPointF(inner.topLeft()), QPointF(inner.bottomRight()) + QPointF(1, 1));
        p.drawLine(QPointF(inner.left(), inner.bottom() + 1),
                   QPointF(inner.right() + 1, inner.top()));
        p.setRenderHint(QPainter::Antialiasing, false);
    } else {
        p.fillRect(inner, ColorFromValue(value));
    }
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect.adjusted(0, 0, -1, -1));
    p.restore();
}

bool PickColor(QWidget* parent, qint32& value) {
    InstallQtChineseTranslations();
    QColorDialog dialog(ColorFromValue(value, Qt::white), parent);
    dialog.setObjectName(QStringLiteral("ColorDialog"));
    dialog.setWindowTitle(QStringLiteral("颜色"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    value = ValueFromColor(dialog.selectedColor());
    return true;
}

// ColorField

ColorField::ColorField(QWidget* parent) : QComboBox(parent) {
    setInsertPolicy(QComboBox::NoInsert);
    // A list of 20 rows that scrolls, rather than a popup of all 50 that would not fit
    // on a small screen.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    setMaxVisibleItems(20);
    setFocusPolicy(Qt::StrongFocus); // not taken by the wheel, see wheelEvent
    setIconSize(QSize(20, 14));
    for (const NamedColor& c : StandardColors)
        addItem(sampleIcon(c.value), QString::fromUtf8(c.name), c.value);
    insertSeparator(count());
    for (int i = 0; i < SystemColorCount; ++i)
        if (SystemNames[i]) addItem(sampleIcon(systemValue(i)), SystemColorName(i), systemValue(i));
    insertSeparator(count());
    addItem(sampleIcon(ColorValue::None), QStringLiteral("无"), ColorValue::None);
    addItem(QStringLiteral("自定义…"));
    setItemData(count() - 1, true, CustomRole);
    connect(this, &QComboBox::activated, this, &ColorField::activatedItem);
    showValue();
}

void ColorField::setValue(qint32 value) {
    m_value = value;
    showValue();
}

void ColorField::showValue() {
    const QSignalBlocker quiet(this);
    int index = -1;
    for (int i = 0; i < count() && index < 0; ++i)
        if (i != m_otherIndex && !itemData(i, CustomRole).toBool() &&
            itemData(i, ValueRole).isValid() && itemData(i, ValueRole).toInt() == m_value)
            index = i;
    if (index >= 0) {
        if (m_otherIndex >= 0) {
            removeItem(m_otherIndex);
            if (index > m_otherIndex) --index;
            m_otherIndex = -1;
        }
        setCurrentIndex(index);
        return;
    }
    if (m_otherIndex < 0) {
        m_otherIndex = count() - 1; // just above "自定义…"
        insertItem(m_otherIndex, QString());
    }
    setItemText(m_otherIndex, ColorValueName(m_value));
    setItemIcon(m_otherIndex, sampleIcon(m_value));
    setItemData(m_otherIndex, m_value, ValueRole);
    setCurrentIndex(m_otherIndex);
}

void ColorField::keyPressEvent(QKeyEvent* event) {
    m_stepping = true;
    QComboBox::keyPressEvent(event);
    m_stepping = false;
}

void ColorField::wheelEvent(QWheelEvent* event) {
    // Scrolling over a dialog must not change its colours on the way.
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    m_stepping = true;
    QComboBox::wheelEvent(event);
    m_stepping = false;
}

void ColorField::activatedItem(int index) {
    qint32 picked = m_value;
    if (itemData(index, CustomRole).toBool()) {
        if (m_stepping) { // only a deliberate choice opens the colour dialog
            showValue();
            return;
        }
        if (!PickColor(this, picked)) {
            showValue(); // back to the value the field holds
            return;
        }
    } else {
        picked = itemData(index, ValueRole).toInt();
    }
    if (picked == m_value) {
        showValue();
        return;
    }
    setValue(picked);
    emit valueChanged(m_value);
}

// ColorSwatch

ColorSwatch::ColorSwatch(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ColorSwatch::setValue(qint32 value) {
    m_value = value;
    update();
}

QSize ColorSwatch::sizeHint() const {
    const int h = fontMetrics().height() + 4;
    return {2 * h, h};
}

void ColorSwatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!isEnabled()) p.setOpacity(0.35);
    PaintColorSample(p, rect().adjusted(2, 2, -2, -2), m_value);
    if (hasFocus()) {
        p.setOpacity(1);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

void ColorSwatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    pick();
}

void ColorSwatch::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pick();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ColorSwatch::pick() {
    qint32 picked = m_value;
    if (!PickColor(this, picked) || picked == m_value) return;
    setValue(picked);
    emit valueChanged(m_value);
}
