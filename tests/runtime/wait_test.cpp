#include "runtime/wait.h"
#include "support/input.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

class PaintCounter final : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

} // namespace

TEST(WaitTest, TheWindowPaintsWhileInputWaitsForTheWorkToFinish) {
    QWidget window;
    window.resize(200, 100);
    auto* button = new QPushButton(QStringLiteral("go"), &window);
    button->setGeometry(10, 10, 80, 30);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    PaintCounter counter;
    window.installEventFilter(&counter);
    std::vector<std::string> order;
    QObject::connect(button, &QPushButton::clicked, [&] { order.push_back("click"); });

    int paintsDuringWork = -1;
    QTimer::singleShot(50, [&] {
        tovrel::test::queueClick(button);
        window.update();
    });
    tovrel::runWaiting([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        order.push_back("work done");
    });
    paintsDuringWork = counter.paints;
    order.push_back("returned");
    QTest::qWait(50);

    EXPECT_GT(paintsDuringWork, 0);
    EXPECT_EQ(order, (std::vector<std::string>{"work done", "returned", "click"}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(WaitTest, WorkThatFinishesAtOnceDoesNotHang) {
    for (int i = 0; i < 50; ++i) {
        int result = 0;
        tovrel::runWaiting([&] { result = i; });
        ASSERT_EQ(result, i);
    }
}
