#pragma once

#include <QLineEdit>
#include <functional>

// A "mm:ss" field: the edit mask "00:00" (two digits, a colon, two digits) in Arial.
// A change left incomplete is refused when the focus leaves the field (or Enter is
// pressed in it): a beep, the message "Invalid input value.  Use escape key to abandon
// changes", and the focus stays. Esc abandons the change and puts back the text the field
// had before the edit.
class TimeField : public QLineEdit {
    Q_OBJECT
public:
    explicit TimeField(QWidget* parent = nullptr);

    static QString invalidInputMessage();

    // The beep of a refusal; QApplication::beep() unless replaced (tests listen to it).
    static void setBeeper(std::function<void()> beeper);

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool incompleteChange() const { return isModified() && !hasAcceptableInput(); }
    void refuseIncomplete();
    void abandonChange();

    QString m_before;
    bool m_refusing = false;
};
