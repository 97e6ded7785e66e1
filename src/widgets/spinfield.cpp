#include "spinfield.h"

#include <QCursor>
#include <QToolTip>
#include <QWheelEvent>

SpinField::SpinField(int minimum, int maximum, QWidget* parent) : QSpinBox(parent) {
    setRange(minimum, maximum);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setAccelerated(true);
    setFocusPolicy(Qt::StrongFocus);
}

void SpinField::wheelEvent(QWheelEvent* event) {
    if (hasFocus())
        QSpinBox::wheelEvent(event);
    else
        event->ignore();
}

SliderField::SliderField(int minimum, int maximum, int step, QWidget* parent)
    : QSlider(Qt::Horizontal, parent) {
    setRange(minimum, maximum);
    setSingleStep(step);
    setPageStep(4 * step);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(qMax(step, (maximum - minimum) / 10 / qMax(1, step) * step));
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QSlider::sliderMoved, this, [this](int value) {
        QToolTip::showText(QCursor::pos(), QString::number(value), this);
    });
}

void SliderField::wheelEvent(QWheelEvent* event) {
    if (hasFocus())
        QSlider::wheelEvent(event);
    else
        event->ignore();
}
