#include "fontcolordialog.h"

#include "colorfield.h"
#include "colors.h"
#include "qtchinese.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace {
// Qt's font dialog shows the family's first style when the font's style has another name
// there ("Normal" is "Book" in some families), and the first is often an italic or a
// condensed face: OK would then turn a regular or a bold font italic. Where its choice
// has the wrong weight or slant, the family's face nearest in weight with the right slant
// is chosen in its style list, the plainest name first.
void chooseStyleLike(QFontDialog* fonts, const QFont& wanted) {
    const QFont now = fonts->currentFont();
    if (now.bold() == wanted.bold() && now.italic() == wanted.italic()) return;
    const QString family = now.family();
    const QStringList styles = QFontDatabase::styles(family);
    QString best;
    int bestScore = 0;
    for (const QString& style : styles) {
        // Oblique counts as a slant, as QFont::italic() has it.
        const QFont face = QFontDatabase::font(family, style, 12);
        if (face.italic() != wanted.italic()) continue;
        const int score =
            std::abs(int(face.weight()) - int(wanted.weight())) * 100 + int(style.size());
        if (best.isEmpty() || score < bestScore) {
            best = style;
            bestScore = score;
        }
    }
    if (best.isEmpty()) return;
    for (QListView* view : fonts->findChildren<QListView*>()) {
        QAbstractItemModel* model = view->model();
        if (!model || model->rowCount() != styles.size()) continue;
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->index(row, 0).data().toString() == best) {
                view->setCurrentIndex(model->index(row, 0));
                return;
            }
    }
}
} // namespace

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
    chooseStyleLike(m_fonts, shown);
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
