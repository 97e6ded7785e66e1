#pragma once

#include "runstate.h"

#include <QWidget>

class Tfrmmain : public QWidget {
    Q_OBJECT
public:
    explicit Tfrmmain(QWidget* parent = nullptr);

    RunState State;
};
