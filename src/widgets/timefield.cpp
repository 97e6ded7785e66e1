#include "timefield.h"

#include "qtchinese.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace {

std::function<void()>& beeperSlot() {
    static std::function<void()> beeper = [] { QApplication::beep(); };
    return beeper;
}

// Between the moment the focus leaves an incomplete field and the refusal, input meant
// for the rest of its window is dropped: the click that took the focus away must not
// also press the button it landed on (OK would save the incomplete time).
class InputHold : public QObject {
public:
    explicit InputHold(QWidget* field) : QObject(field), m_field(field) {
        qApp->installEventFilter(this);
    }
    ~InputHold() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
            break;
        default:
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget && widget != m_field && widget->window() == m_field->window();
    }

private:
    QWidget* m_field;
};

} // namespace

TimeField::TimeField(QWidget* parent) : QLineEdit(parent) {
    // Two digits, a colon, two digits, all required (Qt's "9"; its "0" is optional).
    setInputMask(QStringLiteral("99:99;_"));
    QFont arial; // only the face; the size follows the dialog's font
    arial.setFamily(QStringLiteral("Arial"));
    setFont(arial);
}

QString TimeField::invalidInputMessage() {
    return QStringLiteral("Invalid input value.  Use escape key to abandon changes");
}

void TimeField::setBeeper(std::function<void()> beeper) {
    beeperSlot() = beeper ? std::move(beeper) : [] { QApplication::beep(); };
}

bool TimeField::event(QEvent* e) {
    // Esc belongs to the field while it holds a change, not to the dialog's Cancel.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && isModified()) {
            e->accept();
            return true;
        }
    }
    return QLineEdit::event(e);
}

void TimeField::focusInEvent(QFocusEvent* e) {
    // Coming back after a refusal the change is still there, and so is the old text.
    if (!isModified()) m_before = text();
    QLineEdit::focusInEvent(e);
}

void TimeField::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    switch (e->reason()) {
    case Qt::ActiveWindowFocusReason: // another window or program became active
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        return;
    default:
        break;
    }
    if (m_refusing || !incompleteChange() || !isVisible()) return;
    auto* hold = new InputHold(this);
    QPointer<QObject> holdAlive(hold);
    QTimer::singleShot(0, this, [this, holdAlive] {
        delete holdAlive.data();
        refuseIncomplete();
    });
}

void TimeField::keyPressEvent(QKeyEvent* e) {
    const bool plain = e->modifiers() == Qt::NoModifier || e->modifiers() == Qt::KeypadModifier;
    if (plain && e->key() == Qt::Key_Escape && isModified()) {
        abandonChange();
        e->accept();
        return;
    }
    if (plain && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && incompleteChange()) {
        e->accept(); // the dialog's default button must not save it
        refuseIncomplete();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void TimeField::refuseIncomplete() {
    if (m_refusing || !incompleteChange() || !isVisible() || !window()->isVisible()) return;
    m_refusing = true;
    for (QAbstractButton* b : window()->findChildren<QAbstractButton*>())
        if (b->isDown()) b->setDown(false);
    beeperSlot()();
    setFocus(Qt::OtherFocusReason);
    InstallQtChineseTranslations();
    QString title = window()->windowTitle();
    if (title.isEmpty()) title = QGuiApplication::applicationDisplayName();
    QMessageBox box(QMessageBox::Warning, title, invalidInputMessage(), QMessageBox::Ok, window());
    box.setObjectName(QStringLiteral("InvalidInputMessage"));
    box.exec();
    m_refusing = false;
    if (!isVisible()) return;
    window()->activateWindow();
    setFocus(Qt::OtherFocusReason);
    // Put the cursor at the first empty place, where typing goes on.
    const int blank = displayText().indexOf(QLatin1Char('_'));
    if (blank >= 0) setCursorPosition(blank);
}

void TimeField::abandonChange() {
    setText(m_before); // also clears the modified flag
    selectAll();
}
