#include "fontcolordialog.h"

#include "colorfield.h"
#include "colors.h"
#include "qtchinese.h"

#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FontColorDialog::FontColorDialog(QWidget* parent)
    : QDialog(parent), m_fonts(nullptr), m_color(nullptr) {
    InstallQtChineseTranslations();
    setObjectName(QStringLiteral("FontDialog"));
    setWindowTitle(QStringLiteral("字体"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // Qt's font dialog, embedded as a plain widget without its own buttons.
    m_fonts = new QFontDialog(this);
    m_fonts->setObjectName(QStringLiteral("fontChooser"));
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fonts->setWindowFlags(Qt::Widget);
    m_fonts->setSizeGripEnabled(false);

    m_color = new ColorSwatch(this);
    m_color->setObjectName(QStringLiteral("fontColor"));
    auto* colorLabel = new QLabel(QStringLiteral("颜色(&C):"), this);
    colorLabel->setBuddy(m_color);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(colorLabel);
    bottom->addWidget(m_color);
    bottom->addStretch(1);
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fonts, 1);
    layout->addLayout(bottom);
    m_fonts->setVisible(true);
}

void FontColorDialog::setCurrentFont(const QFont& font) {
    m_given = font;
    // The list holds installed faces: show the one that stands in for a Windows name
    // such as "宋体", and sizes in points.
    QFont shown = font;
    m_givenFace = QFontInfo(font).family();
    shown.setFamily(m_givenFace);
    if (shown.pointSizeF() <= 0 && font.pixelSize() > 0)
        shown.setPointSizeF(font.pixelSize() * 72.0 / logicalDpiY());
    m_fonts->setCurrentFont(shown);
}

QFont FontColorDialog::selectedFont() const {
    QFont chosen = m_fonts->currentFont();
    // An unchanged face keeps the name it was given, so js.ini stays readable on Windows.
    if (!m_givenFace.isEmpty() && chosen.family() == m_givenFace)
        chosen.setFamily(m_given.family());
    return chosen;
}

void FontColorDialog::setCurrentColor(const QColor& color) {
    m_color->setValue(ValueFromColor(color));
}

QColor FontColorDialog::selectedColor() const {
    return ColorFromValue(m_color->value(), Qt::black);
}

bool ChooseFont(QWidget* parent, QFont& font, QColor& color) {
    FontColorDialog dialog(parent);
    dialog.setCurrentFont(font);
    dialog.setCurrentColor(color);
    if (dialog.exec() != QDialog::Accepted) return false;
    font = dialog.selectedFont();
    color = dialog.selectedColor();
    return true;
}
