// One appendLog at a log of 10 KB, 1 MB and 10 MB: the cost must not grow with the log.
#include "app/app.h"
#include "app/message_presenter.h"
#include "bench_util.h"

#include <QApplication>

using namespace tovrel;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QtMessagePresenter messages;
    App app(systemPlatform(messages));
    app.window().show();

    const Text line = "\r\n已将网址http://example.com/abc生成二维码"_gbk;
    double at10k = 0;
    for (const std::size_t size : {std::size_t{10} << 10, std::size_t{1} << 20, std::size_t{10} << 20}) {
        Text log;
        while (log.size() < size)
            log += line;
        app.setLog(log);
        std::vector<double> times;
        for (int i = 0; i < 9; ++i) {
            times.push_back(bench::millisecondsOf([&] { app.appendLog(line); }));
            QApplication::processEvents();
        }
        const double ms = bench::median(times);
        if (at10k == 0) at10k = ms;
        bench::printRatioRow("appendLog at " + std::to_string(size >> 10) + " KiB (vs at 10 KiB)", ms, at10k,
                             "ms", 2.0);
    }
    return 0;
}
