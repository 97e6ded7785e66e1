#include "singlemessagebox.h"

bool SingleMessageBox::Show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                            const QString& text) {
    if (m_box) return false;
    // On the heap: a parent that goes while the box is open takes the box along.
    m_box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    m_box->exec();
    delete m_box.data();
    return true;
}
