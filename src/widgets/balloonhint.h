#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPainterPath;

// A speech bubble with a header and a text whose arrow points at a window, for notices that
// must not interrupt the user (no focus is taken). It closes by itself after the given time
// or when clicked; a newer message replaces the one shown.
class BalloonHint : public QWidget {
    Q_OBJECT
public:
    explicit BalloonHint(QWidget* parent = nullptr);

    // Lines of text may be separated by "\r\n" or "\n". A null or hidden target puts the
    // bubble in the middle of the primary screen.
    void showMessage(QWidget* target, const QString& title, const QString& text, int msecs);

    QString title() const;
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPainterPath bubblePath() const;
    void placeAt(QWidget* target);

    QLabel* m_titleLabel;
    QLabel* m_textLabel;
    QString m_text;
    QTimer m_hideTimer;
    bool m_arrowUp = true; // the bubble hangs below the target with the arrow on top
    int m_arrowX = 24;     // x of the arrow's tip within the bubble window
};
