#pragma once

#include <QComboBox>
#include <QString>
#include <QWidget>

class QPainter;

// Colour controls over js.ini colour values (0x00BBGGRR plain, 0xFF0000nn the Windows
// system colour nn, 536870911 no colour). Both hold the value itself, so a value that the
// user does not touch is saved exactly as it was loaded, system colours included.

// Chinese name of a Windows system colour index, empty for an index that names none.
QString SystemColorName(int index);
// The name shown for a value: a standard or system colour's name, "无", else its code.
QString ColorValueName(qint32 value);
// The value's sample in rect: the colour in a thin dark frame; "no colour" is a white box
// crossed out.
void PaintColorSample(QPainter& painter, const QRect& rect, qint32 value);
// Opens the colour dialog on value; on OK stores the chosen plain colour and returns true.
bool PickColor(QWidget* parent, qint32& value);

// A drop-down colour picker: the standard colours, the system colours by name, "无" and
// "自定义…", which opens the colour dialog. A loaded value outside the list gets an entry
// of its own. setValue() is silent; valueChanged() reports what the user picks.
class ColorField : public QComboBox {
    Q_OBJECT
public:
    explicit ColorField(QWidget* parent = nullptr);

    qint32 value() const { return m_value; }
    void setValue(qint32 value);

signals:
    void valueChanged(qint32 value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void activatedItem(int index);
    void showValue();

    qint32 m_value = 0;
    bool m_stepping = false; // moving through the list by key or wheel
    int m_otherIndex = -1;   // the entry of a value that the list does not hold, or -1
};

// A colour sample that opens the colour dialog on a left-button press (or Space, Enter).
class ColorSwatch : public QWidget {
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget* parent = nullptr);

    qint32 value() const { return m_value; }
    void setValue(qint32 value); // silent

    QSize sizeHint() const override;

signals:
    void valueChanged(qint32 value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void pick();

    qint32 m_value = 0;
};
