// Time from process start to the first painted frame of the main window, and peak memory, beside a bare
// Qt window of the same size with the same kinds of widgets.
#include "app/app.h"
#include "app/message_presenter.h"
#include "app/startup.h"
#include "app/window_definition.h"
#include "bench_util.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <QFile>
#include <cstring>
#include <ctime>
#include <unistd.h>

using namespace tovrel;

namespace {

// Milliseconds on a clock that parent and child share; the parent starts counting just before it spawns
// the child, which is finer than the kernel's start time in ticks of 10 ms.
double nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

double peakKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toDouble();
    return 0;
}

class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            const double ms = nowMs();
            QTimer::singleShot(0, [ms] {
                std::printf("%f %f\n", ms, peakKiB());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_done = false;
};

QWidget* bareWindow() {
    auto* window = new QWidget;
    window->setFixedSize(mainClientWidth, mainClientHeight);
    // A Chinese window needs a CJK face either way.
    window->setFont(QFont(defaultChineseFace(), 14));
    auto* group = new QGroupBox(QStringLiteral("网址缩短类型选择"), window);
    group->setGeometry(8, 80, 208, 448);
    for (int i = 0; i < 25; ++i)
        (new QCheckBox(QStringLiteral("box%1").arg(i), group))->setGeometry(8, 8 + 16 * i, 80, 16);
    for (int i = 0; i < 7; ++i)
        (new QPushButton(QStringLiteral("按钮"), window))->setGeometry(424, 72 + 40 * i, 176, 32);
    for (int i = 0; i < 5; ++i)
        (new QLabel(QStringLiteral("标签"), window))->setGeometry(216, 80 + 20 * i, 64, 20);
    for (int i = 0; i < 5; ++i)
        (new QLineEdit(window))->setGeometry(8, 13 + 30 * i, 400, 24);
    (new QPlainTextEdit(QStringLiteral("欢迎"), window))->setGeometry(216, 424, 192, 72);
    return window;
}

int child(int argc, char** argv, bool ours) {
    QApplication application(argc, argv);
    FirstPaint firstPaint;
    QtMessagePresenter messages;
    std::unique_ptr<App> app;
    std::unique_ptr<QWidget> bare;
    if (ours) {
        // The first paint comes from the event loop, after the filter is in place.
        app = startApp(systemPlatform(messages));
        app->window().installEventFilter(&firstPaint);
    } else {
        bare.reset(bareWindow());
        bare->installEventFilter(&firstPaint);
        bare->show();
    }
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--ours") == 0 || std::strcmp(argv[1], "--bare") == 0))
        return child(argc, argv, std::strcmp(argv[1], "--ours") == 0);

    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Each figure is the median of child processes run in alternation: ours, ours with no route to any
    // server (a network namespace of its own, when unshare is allowed), and the bare window.
    struct Variant {
        const char* name;
        QString program;
        QStringList arguments;
        std::vector<double> ms, kib;
    };
    const QString self = QString::fromLocal8Bit(argv[0]);
    std::vector<Variant> variants = {
        {"ours", self, {QStringLiteral("--ours")}, {}, {}},
        {"ours, no route",
         QStringLiteral("unshare"),
         {QStringLiteral("-n"), self, QStringLiteral("--ours")},
         {},
         {}},
        {"bare", self, {QStringLiteral("--bare")}, {}, {}},
        {"bare, no route",
         QStringLiteral("unshare"),
         {QStringLiteral("-n"), self, QStringLiteral("--bare")},
         {},
         {}},
    };
    for (int round = 0; round < 21; ++round) {
        for (Variant& variant : variants) {
            QProcess process;
            const double started = nowMs();
            process.start(variant.program, variant.arguments);
            process.waitForFinished(60000);
            const QList<QByteArray> figures = process.readAllStandardOutput().trimmed().split(' ');
            if (figures.size() != 2) continue;
            variant.ms.push_back(figures[0].toDouble() - started);
            variant.kib.push_back(figures[1].toDouble());
        }
    }
    for (std::size_t i = 0; i < 2; ++i) {
        const Variant& ours = variants[i];
        const Variant& bare = variants[i + 2]; // the same surroundings: a network namespace costs by itself
        if (ours.ms.empty()) continue;
        bench::printRatioRow(std::string("start-up to first paint, ") + ours.name, bench::median(ours.ms),
                             bench::median(bare.ms), "ms", 1.3);
        bench::printRatioRow(std::string("start-up peak memory, ") + ours.name,
                             bench::median(ours.kib) / 1024, bench::median(bare.kib) / 1024, "MiB", 1.3);
    }
    return 0;
}
