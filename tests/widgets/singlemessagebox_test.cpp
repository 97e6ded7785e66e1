// The message box that never stacks, as real windows on the tests' Xvfb.
#include "singlemessagebox.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QList<QMessageBox*> openBoxes() {
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) boxes << box;
    return boxes;
}

// While the box is open its event loop runs timers, hotkeys and the like; each of them that
// asks for a message (an engine whose every tick fails, a stage change that finds no
// picture) gets none, and the user faces one box.
TEST(SingleMessageBox, MessagesWhileItIsOpenAreNotShown) {
    QWidget owner;
    owner.show();
    SingleMessageBox box;
    int refused = 0;
    int mostOpen = 0;
    QString seen;
    QTimer asker;
    asker.setInterval(20);
    QObject::connect(&asker, &QTimer::timeout, [&] {
        mostOpen = std::max(mostOpen, int(openBoxes().size()));
        if (!box.Show(&owner, QMessageBox::Warning, QStringLiteral("提示"),
                      QStringLiteral("again")))
            ++refused;
    });
    QTimer user; // reads the box, then closes it
    user.setSingleShot(true);
    user.setInterval(400);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (QMessageBox* open = openBoxes().value(0)) {
            seen = open->windowTitle() + QLatin1Char('|') + open->text();
            open->accept();
        }
    });
    asker.start();
    user.start();
    EXPECT_TRUE(box.Show(&owner, QMessageBox::NoIcon, QStringLiteral("Pendra"),
                         QStringLiteral("div by 0!")));
    asker.stop();
    EXPECT_EQ(seen, QStringLiteral("Pendra|div by 0!"));
    EXPECT_GE(refused, 3);
    EXPECT_EQ(mostOpen, 1);
    EXPECT_FALSE(box.IsOpen());

    // Once it is closed, the next message is shown.
    user.start();
    EXPECT_TRUE(box.Show(&owner, QMessageBox::NoIcon, QStringLiteral("Pendra"),
                         QStringLiteral("div by 0!")));
    EXPECT_TRUE(openBoxes().isEmpty());
}

TEST(SingleMessageBox, AnOwnerThatGoesTakesItsBoxAlong) {
    auto* owner = new QWidget;
    owner->show();
    SingleMessageBox box;
    QTimer::singleShot(200, [owner] { delete owner; });
    box.Show(owner, QMessageBox::NoIcon, QStringLiteral("Pendra"), QStringLiteral("bye"));
    EXPECT_FALSE(box.IsOpen());
    EXPECT_TRUE(openBoxes().isEmpty());
}

} // namespace
