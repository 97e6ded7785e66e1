#include "filefield.h"

#include "qtchinese.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>

QString QtFileFilter(const QString& windowsFilter) {
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    if (parts.size() == 1) {
        // A bare pattern list without a description.
        const QString only = parts.first().trimmed();
        if (!only.contains(QLatin1Char('*')) && !only.contains(QLatin1Char('?'))) return QString();
        return QtFileFilter(QStringLiteral("|") + only);
    }
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        description.remove(trailingPatterns); // Qt shows the patterns itself
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'))) {
            const QString pattern = p.trimmed();
            if (pattern.isEmpty()) continue;
            patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
        }
        if (patterns.isEmpty()) continue;
        const QString list = patterns.join(QLatin1Char(' '));
        filters << (description.isEmpty() ? QStringLiteral("(%1)").arg(list)
                                          : QStringLiteral("%1 (%2)").arg(description, list));
    }
    return filters.join(QStringLiteral(";;"));
}

FileField::FileField(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this)) {
    m_edit->setObjectName(QStringLiteral("edit"));
    m_button->setObjectName(QStringLiteral("browse"));
    m_button->setText(QStringLiteral("…"));
    m_button->setToolTip(QStringLiteral("浏览"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(m_edit, &QLineEdit::textChanged, this, &FileField::valueChanged);
    connect(m_button, &QToolButton::clicked, this, &FileField::browse);
}

QString FileField::value() const {
    return m_edit->text();
}

void FileField::setValue(const QString& path) {
    m_edit->setText(path);
    m_edit->setCursorPosition(0);
}

void FileField::setFilter(const QString& windowsFilter) {
    m_filter = windowsFilter;
}

void FileField::browse() {
    InstallQtChineseTranslations();
    QFileDialog dialog(this, m_title, QString(), QtFileFilter(m_filter));
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QString current = value().trimmed();
    if (!current.isEmpty()) {
        const QFileInfo info(current);
        if (info.absoluteDir().exists()) dialog.setDirectory(info.absoluteDir());
        if (info.exists()) dialog.selectFile(info.absoluteFilePath());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    setValue(
        QDir::toNativeSeparators(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath()));
}
