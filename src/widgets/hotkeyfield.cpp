#include "hotkeyfield.h"

#include "shortcuttext.h"
#include "virtualkeys.h"

#include <QKeyEvent>

namespace {

quint16 modifierBits(Qt::KeyboardModifiers mods) {
    quint16 bits = 0;
    if (mods & Qt::ShiftModifier) bits |= Shortcut::Shift;
    if (mods & Qt::ControlModifier) bits |= Shortcut::Ctrl;
    if (mods & Qt::AltModifier) bits |= Shortcut::Alt;
    return bits;
}

bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
        return true;
    default:
        return false;
    }
}

// Keys the dialog acts on when they come without Ctrl or Alt.
bool isDialogKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
           key == Qt::Key_Tab || key == Qt::Key_Backtab;
}

QString modifierText(quint16 bits) {
    QString t;
    if (bits & Shortcut::Shift) t += QLatin1String("Shift+");
    if (bits & Shortcut::Ctrl) t += QLatin1String("Ctrl+");
    if (bits & Shortcut::Alt) t += QLatin1String("Alt+");
    return t;
}

} // namespace

HotkeyCombination CombinationOf(quint16 shortcut) {
    const bool s = shortcut & Shortcut::Shift, c = shortcut & Shortcut::Ctrl,
               a = shortcut & Shortcut::Alt;
    if (s && c && a) return HotkeyCombination::ShiftCtrlAlt;
    if (c && a) return HotkeyCombination::CtrlAlt;
    if (s && a) return HotkeyCombination::ShiftAlt;
    if (s && c) return HotkeyCombination::ShiftCtrl;
    if (a) return HotkeyCombination::Alt;
    if (c) return HotkeyCombination::Ctrl;
    if (s) return HotkeyCombination::Shift;
    return HotkeyCombination::None;
}

quint16 ApplyHotkeyRules(quint16 typed, HotkeyCombinations invalid, quint16 replacement) {
    if ((typed & Shortcut::KeyMask) == 0) return 0;
    if (invalid.testFlag(CombinationOf(typed))) typed |= replacement;
    return typed;
}

HotkeyField::HotkeyField(QWidget* parent)
    : QLineEdit(parent), m_invalid(NoneOrShift), m_replacement(Shortcut::Alt) {
    // Typing makes a combination, never text: no editing, pasting or input method.
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setFocusPolicy(Qt::StrongFocus);
    setPlaceholderText(QStringLiteral("无"));
    showValue();
}

void HotkeyField::setShortcut(quint16 shortcut) {
    m_shortcut = ShortCutToText(shortcut).isEmpty() ? 0 : shortcut;
    showValue();
}

void HotkeyField::showValue() {
    setText(ShortCutToText(m_shortcut));
}

void HotkeyField::edit(quint16 shortcut) {
    setShortcut(shortcut);
    emit changed(m_shortcut);
}

bool HotkeyField::event(QEvent* e) {
    // Combinations that are shortcuts elsewhere in the window belong to this field while it
    // has the focus; only the dialog's own keys are left to the dialog.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (!(plain && isDialogKey(key->key()))) {
            e->accept();
            return true;
        }
    }
    return QLineEdit::event(e);
}

void HotkeyField::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    const quint16 mods = modifierBits(e->modifiers());
    if (isModifierKey(key)) {
        setText(modifierText(mods));
        return;
    }
    if (!(mods & (Shortcut::Ctrl | Shortcut::Alt)) && isDialogKey(key)) {
        showValue();
        e->ignore();
        return;
    }
    if (mods == 0 && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
        edit(0);
        return;
    }
    const int code = VirtualKeyFromQtKey(key, e->modifiers().testFlag(Qt::KeypadModifier));
    if (code == 0) { // a key that cannot be stored: keep what was there
        showValue();
        return;
    }
    edit(ApplyHotkeyRules(quint16(code | mods), m_invalid, m_replacement));
}

void HotkeyField::keyReleaseEvent(QKeyEvent* e) {
    // Modifiers let go of without a key: back to the value.
    if (isModifierKey(e->key())) {
        const quint16 held = modifierBits(e->modifiers());
        if (held == 0)
            showValue();
        else
            setText(modifierText(held));
    }
}

void HotkeyField::focusOutEvent(QFocusEvent* e) {
    showValue();
    QLineEdit::focusOutEvent(e);
}
