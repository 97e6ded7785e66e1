#include "tfrm_about.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

Tfrm_about::Tfrm_about(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm_about"));
    setWindowTitle(QStringLiteral("关于 Pendra"));
    auto* layout = new QVBoxLayout(this);
    auto* product = new QLabel(QStringLiteral("<h2>Pendra</h2>"), this);
    product->setObjectName(QStringLiteral("lbl_product"));
    auto* version = new QLabel(QStringLiteral("版本 %1").arg(QStringLiteral(PENDRA_VERSION)), this);
    version->setObjectName(QStringLiteral("lbl_version"));
    auto* purpose =
        new QLabel(QStringLiteral("分阶段计时器：为演讲、辩论、会议和考试掌握时间。"), this);
    auto* licence = new QLabel(QStringLiteral("以 MIT 许可证发布。"), this);
    licence->setObjectName(QStringLiteral("lbl_licence"));
    for (QLabel* l : {product, version, purpose, licence})
        layout->addWidget(l);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
