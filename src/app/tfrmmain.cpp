#include "tfrmmain.h"

Tfrmmain::Tfrmmain(QWidget* parent) : QWidget(parent) {}
