#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class ColorSwatch;
class QFontDialog;

// The font dialog of the settings: face, style, size, underline and strike-out, and the
// font's colour, which belongs to a font in js.ini but which Qt's font dialog lacks.
class FontColorDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontColorDialog(QWidget* parent = nullptr);

    void setCurrentFont(const QFont& font);
    QFont selectedFont() const;
    void setCurrentColor(const QColor& color);
    QColor selectedColor() const;

    QFontDialog* fontChooser() const { return m_fonts; }
    ColorSwatch* colorSwatch() const { return m_color; }

private:
    QFontDialog* m_fonts;
    ColorSwatch* m_color;
    QFont m_given;       // as passed in, perhaps with a Windows face name
    QString m_givenFace; // the installed face that shows it
};

// Opens the dialog on font and color; on OK stores the choice and returns true.
bool ChooseFont(QWidget* parent, QFont& font, QColor& color);
