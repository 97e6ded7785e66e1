// The balloon hint as a real window on the tests' Xvfb.
#include "balloonhint.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

bool WaitUntil(const std::function<bool()>& done, int msecs) {
    for (int waited = 0; waited < msecs && !done(); waited += 20)
        QTest::qWait(20);
    return done();
}

class BalloonHintTest : public ::testing::Test {
protected:
    void SetUp() override {
        target.resize(200, 80);
        target.move(300, 200);
        target.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));
    }
    QString shownText() const {
        return balloon.findChild<QLabel*>(QStringLiteral("BalloonText"))->text();
    }
    QString shownTitle() const {
        return balloon.findChild<QLabel*>(QStringLiteral("BalloonTitle"))->text();
    }
    int balloonsShown() const {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == QLatin1String("BalloonHint") && w->isVisible();
        return n;
    }

    QWidget target;
    BalloonHint balloon;
};

TEST_F(BalloonHintTest, ShowsTitleAndLinesNextToTheTarget) {
    balloon.showMessage(&target, QStringLiteral("提示"), QStringLiteral("\r\n第一行\r\n第二行"),
                        50000);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&balloon));
    EXPECT_EQ(balloon.objectName(), "BalloonHint");
    EXPECT_EQ(shownTitle(), "提示");
    EXPECT_EQ(shownText(), "\n第一行\n第二行");
    EXPECT_EQ(balloon.text(), "\r\n第一行\r\n第二行");
    // The arrow's tip touches the target's bottom edge, under its middle.
    const QRect frame = target.frameGeometry();
    EXPECT_EQ(balloon.y(), frame.bottom() + 1);
    EXPECT_TRUE(balloon.mask().contains(
        balloon.mapFromGlobal(QPoint(frame.center().x(), frame.bottom() + 2))));
    EXPECT_FALSE(balloon.isActiveWindow()); // it does not take the focus
}

TEST_F(BalloonHintTest, GoesAboveATargetAtTheScreenBottom) {
    const QRect avail = target.screen()->availableGeometry();
    target.move(400, avail.bottom() - target.frameGeometry().height() - 5);
    ASSERT_TRUE(
        WaitUntil([&] { return target.frameGeometry().bottom() > avail.bottom() - 30; }, 2000));
    balloon.showMessage(&target, QStringLiteral("提示"), QStringLiteral("text"), 50000);
    EXPECT_EQ(balloon.geometry().bottom() + 1, target.frameGeometry().top());
    EXPECT_TRUE(avail.contains(balloon.geometry()));
}

TEST_F(BalloonHintTest, NewerMessageReplacesTheShownOne) {
    balloon.showMessage(&target, QStringLiteral("提示"), QStringLiteral("old"), 50000);
    balloon.showMessage(&target, QStringLiteral("提示"), QStringLiteral("new"), 50000);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&balloon));
    EXPECT_EQ(shownText(), "new");
    EXPECT_EQ(balloonsShown(), 1);
}

TEST_F(BalloonHintTest, ClosesOnAClick) {
    balloon.showMessage(&target, QStringLiteral("提示"), QStringLiteral("text"), 50000);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&balloon));
    QTest::mouseClick(balloon.findChild<QLabel*>(QStringLiteral("BalloonText")), Qt::LeftButton);
    EXPECT_TRUE(WaitUntil([&] { return !balloon.isVisible(); }, 2000));
}

TEST_F(BalloonHintTest, ClosesWhenItsTimeIsUp) {
    balloon.showMessage(&target, QStringLiteral("提示"), QStringLiteral("text"), 200);
    ASSERT_TRUE(balloon.isVisible());
    EXPECT_TRUE(WaitUntil([&] { return !balloon.isVisible(); }, 5000));
}

} // namespace
