#pragma once

#include <QDialog>

// The about box: product, version, purpose and licence.
class Tfrm_about : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_about(QWidget* parent = nullptr);
};
