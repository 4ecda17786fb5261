// From the click on a service box to the stored answer, beside the bare fetch of the same address.
#include "app/app.h"
#include "app/message_presenter.h"
#include "bench_util.h"
#include "local_server.h"
#include "shorten/catalogue.h"

#include <QApplication>
#include <QCheckBox>

using namespace tovrel;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    bench::LocalServer server;
    QtMessagePresenter messages;
    Platform platform = systemPlatform(messages);
    platform.http.connectTo = {"api.kx6.cc:80:127.0.0.1:" + std::to_string(server.port())};
    App app(platform);
    app.window().show();
    app.setText(u"编辑框1", "http://example.com/some/long/path?x=1");
    auto* box = qobject_cast<QCheckBox*>(app.control(u"选择框5"));
    const HttpClient bare(platform.http);
    const Text address = requestAddress(serviceEntry(5), app.getText(u"编辑框1"));

    std::vector<double> ours, reference;
    for (int i = 0; i < 300; ++i) {
        ours.push_back(bench::millisecondsOf([&] { box->click(); }));
        box->click(); // untick: no request
        reference.push_back(bench::millisecondsOf([&] { (void)bare.fetch(address); }));
    }
    if (app.getText(u"转换编辑框") != "http://kx6.cc/abcdefghijklmnop") {
        std::fprintf(stderr, "the stored answer is wrong\n");
        return 1;
    }
    const double added = bench::median(ours) - bench::median(reference);
    bench::printRow("service box tick to stored answer (median)", bench::median(ours),
                    bench::median(reference), "ms", "adds < 2 ms", added < 2.0);
    return 0;
}
