#pragma once

#include <QSlider>
#include <QSpinBox>

// An integer field with up and down buttons, limited to its range: a value outside it,
// loaded or typed, becomes the nearest bound. The mouse wheel turns it only while it has
// the focus, so scrolling over a dialog does not change values by accident.
class SpinField : public QSpinBox {
    Q_OBJECT
public:
    SpinField(int minimum, int maximum, QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

// A horizontal slider over a range with a step; a loaded value outside the range becomes
// the nearest bound. While it is dragged a tool tip shows the value.
class SliderField : public QSlider {
    Q_OBJECT
public:
    SliderField(int minimum, int maximum, int step, QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};
