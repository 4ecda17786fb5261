#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A test that leaves a modal dialog open would hang every later one: close it and fail the test.
class ModalGuard final : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override {
        int closed = 0;
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
            modal->deleteLater();
            QApplication::processEvents();
            if (++closed > 16) break;
        }
        if (closed > 0) ADD_FAILURE() << closed << " modal window(s) were left open";
    }
};

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ModalGuard);
    return RUN_ALL_TESTS();
}
