// The live hint on the tests' Xvfb, with the real pointer moved over the window.
#include "eventually.h"
#include "livehint.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QScreen>
#include <QToolTip>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class LiveHintTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setGeometry(300, 200, 300, 100);
        plain.setGeometry(0, 0, 150, 100);    // shows the window's tip
        ownTip.setGeometry(150, 0, 150, 100); // has one of its own
        ownTip.setToolTip(QStringLiteral("own"));
        // As the main window: its tips show while another program has the focus.
        window.setAttribute(Qt::WA_AlwaysShowToolTips);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override {
        QToolTip::hideText();
        QCursor::setPos(0, 0);
    }
    // Rests the pointer on the widget and waits for the tip that the resting opens.
    void restOn(QWidget& widget, const QString& expected) {
        QCursor::setPos(widget.mapToGlobal(QPoint(40, 40)));
        ASSERT_TRUE(Eventually([&] {
            return QToolTip::isVisible() && QToolTip::text() == expected;
        })) << QToolTip::text().toStdString();
    }
    static QLabel* tipLabel() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("qtooltip_label") && w->isVisible())
                return qobject_cast<QLabel*>(w);
        return nullptr;
    }
    // The tip as the X server shows it is the tip as it paints itself now.
    static bool tipOnScreenIs(const QString& text) {
        QLabel* label = tipLabel();
        if (!label || label->text() != text) return false;
        const QRect r = label->geometry();
        const QImage seen = QGuiApplication::primaryScreen()
                                ->grabWindow(0, r.x(), r.y(), r.width(), r.height())
                                .toImage()
                                .convertToFormat(QImage::Format_RGB32);
        return seen == label->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    QWidget window;
    QWidget plain{&window};
    QWidget ownTip{&window};
};

TEST_F(LiveHintTest, AnOpenTipFollowsTheText) {
    SetLiveHint(&window, QStringLiteral("Elapse: 0:01"));
    restOn(plain, QStringLiteral("Elapse: 0:01"));
    SetLiveHint(&window, QStringLiteral("Elapse: 0:02\r\nRemain: 4:58"));
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_TRUE(
        Eventually([] { return tipOnScreenIs(QStringLiteral("Elapse: 0:02\r\nRemain: 4:58")); }));
    EXPECT_EQ(window.toolTip(), QStringLiteral("Elapse: 0:02\r\nRemain: 4:58"));
}

TEST_F(LiveHintTest, NoTipOpensByItselfAndAnotherTipIsLeftAlone) {
    SetLiveHint(&window, QStringLiteral("a"));
    QCursor::setPos(0, 0); // away from the window
    SetLiveHint(&window, QStringLiteral("b"));
    QTest::qWait(200);
    EXPECT_FALSE(QToolTip::isVisible());
    EXPECT_EQ(window.toolTip(), QStringLiteral("b"));

    restOn(ownTip, QStringLiteral("own"));
    SetLiveHint(&window, QStringLiteral("c"));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("own"));
}

} // namespace
