#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

// A Windows file-type filter, pairs of a description and a pattern list separated by "|",
// as a Qt name filter: "Sound files (*.*)|*.wav;*.mid;*.wma" gives
// "Sound files (*.wav *.mid *.wma)". Several pairs give several filters joined by ";;";
// a pattern "*.*" means every file.
QString QtFileFilter(const QString& windowsFilter);

// A file name with a "…" button that opens a file-open dialog. The value is the full path.
// Every change of the text, typed or set, is reported by valueChanged().
class FileField : public QWidget {
    Q_OBJECT
public:
    explicit FileField(QWidget* parent = nullptr);

    QString value() const;
    void setValue(const QString& path);

    // The filter in the Windows form above.
    void setFilter(const QString& windowsFilter);
    QString filter() const { return m_filter; }

    void setDialogTitle(const QString& title) { m_title = title; }

    QLineEdit* lineEdit() const { return m_edit; }
    QToolButton* browseButton() const { return m_button; }

signals:
    void valueChanged(const QString& path);

private:
    void browse();

    QLineEdit* m_edit;
    QToolButton* m_button;
    QString m_filter;
    QString m_title = QStringLiteral("打开");
};
