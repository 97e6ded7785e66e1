#pragma once

#include <QFlags>
#include <QLineEdit>
#include <QtGlobal>

// Modifier combinations of a hotkey field, one bit each.
enum class HotkeyCombination : quint8 {
    None = 0x01, // a key without a modifier
    Shift = 0x02,
    Ctrl = 0x04,
    Alt = 0x08,
    ShiftCtrl = 0x10,
    ShiftAlt = 0x20,
    CtrlAlt = 0x40,
    ShiftCtrlAlt = 0x80,
};
Q_DECLARE_FLAGS(HotkeyCombinations, HotkeyCombination)
Q_DECLARE_OPERATORS_FOR_FLAGS(HotkeyCombinations)

// The combination of a shortcut value's modifier bits.
HotkeyCombination CombinationOf(quint16 shortcut);

// What a field makes of a typed shortcut: a combination it treats as invalid gets the
// replacement modifiers added to what was typed. 0 stays 0.
quint16 ApplyHotkeyRules(quint16 typed, HotkeyCombinations invalid, quint16 replacement);

// A hotkey field: shows a shortcut value (Windows key code in the low byte plus the
// Shortcut::Shift/Ctrl/Alt bits, 0 for none) as "Ctrl+Alt+S" and takes the next key
// combination typed into it. Backspace or Delete alone clears it to none. Plain Tab, Enter
// and Esc are left to the dialog. While only modifiers are held they are shown ("Ctrl+").
class HotkeyField : public QLineEdit {
    Q_OBJECT
public:
    // No combination is invalid unless set: none and Shift alone, as most fields use.
    static constexpr HotkeyCombinations NoneOrShift =
        HotkeyCombinations(quint8(HotkeyCombination::None) | quint8(HotkeyCombination::Shift));
    // Every combination but Shift+Ctrl+Alt.
    static constexpr HotkeyCombinations AllButShiftCtrlAlt =
        HotkeyCombinations(quint8(~quint8(HotkeyCombination::ShiftCtrlAlt)));

    explicit HotkeyField(QWidget* parent = nullptr);

    quint16 shortcut() const { return m_shortcut; }
    // Shows a value; a key without a name (it could not be stored) shows as none. Emits
    // nothing: only the user's edits are changes.
    void setShortcut(quint16 shortcut);

    void setInvalidCombinations(HotkeyCombinations invalid) { m_invalid = invalid; }
    HotkeyCombinations invalidCombinations() const { return m_invalid; }
    // Added to an invalid combination; Alt unless set.
    void setReplacementModifiers(quint16 modifiers) { m_replacement = modifiers; }
    quint16 replacementModifiers() const { return m_replacement; }

signals:
    // Every edit by the user, also one that gives the value it had.
    void changed(quint16 shortcut);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showValue();
    void edit(quint16 shortcut);

    quint16 m_shortcut = 0;
    HotkeyCombinations m_invalid;
    quint16 m_replacement;
};
