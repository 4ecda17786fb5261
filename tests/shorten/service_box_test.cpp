#include "app/app.h"
#include "app/message_presenter.h"
#include "app/startup.h"
#include "shorten/catalogue.h"
#include "support/input.h"
#include "support/test_platform.h"
#include "support/test_server.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tovrel;
using test::Response;

namespace {

class ServiceBoxTest : public testing::Test {
protected:
    void SetUp() override {
        m_world.http = m_server.options();
        m_app = startApp(m_world.platform());
        m_server.clearRequests();
    }

    QString box(int n) const { return QStringLiteral("选择框%1").arg(n); }
    void click(const QString& name) {
        QTest::mouseClick(m_app->control(name), Qt::LeftButton, {}, QPoint(8, 12));
    }
    std::string hostOf(const test::RecordedRequest& request) const {
        const auto start = request.head.find("\r\nHost: ") + 8;
        return request.head.substr(start, request.head.find("\r\n", start) - start);
    }

    test::TestServer m_server;
    test::TestWorld m_world;
    std::unique_ptr<App> m_app;
};

} // namespace

TEST_F(ServiceBoxTest, EachBoxAsksItsOwnServiceOnceAndLocksTheOthers) {
    m_app->setText(u"编辑框1", "http://example.com/a?b=1&c=2"_gbk);
    for (int n = 1; n <= serviceCount; ++n) {
        SCOPED_TRACE(n);
        m_server.clearRequests();
        click(box(n));
        for (int other = 1; other <= 25; ++other)
            EXPECT_EQ(m_app->control(box(other))->isEnabled(), other == n || other > serviceCount) << other;
        const auto requests = m_server.requests();
        ASSERT_EQ(requests.size(), 1u);
        const Text expected = requestAddress(serviceEntry(n), "http://example.com/a?b=1&c=2");
        const std::string scheme = expected.substr(0, expected.find(':'));
        const std::string rest = expected.substr(scheme.size() + 3);
        EXPECT_EQ(requests[0].scheme, scheme);
        EXPECT_EQ(hostOf(requests[0]), rest.substr(0, rest.find('/')));
        EXPECT_EQ(requests[0].line(), "GET " + rest.substr(rest.find('/')) + " HTTP/1.0");

        click(box(n));
        for (int other = 1; other <= 25; ++other)
            EXPECT_TRUE(m_app->control(box(other))->isEnabled()) << other;
        EXPECT_EQ(m_server.requests().size(), 1u);
    }
    EXPECT_TRUE(m_world.messages.shown.empty());
    EXPECT_EQ(m_app->getText(u"日志编辑框"), "欢迎使用Tovrel！"_gbk);
}

TEST_F(ServiceBoxTest, TheStoredAnswerBelongsToTheAddressAtTheTickAndAFailureEmptiesIt) {
    const std::string suffix = "&apikey=Hk7pWqM2zcYn5Vb942@kqt";
    m_server.answer("/api.php?url=http%3A%2F%2Fone.cn" + suffix, Response::text("http://zd8.top/1"));
    m_server.answer("/api.php?url=http%3A%2F%2Ftwo.cn" + suffix,
                    Response::text(std::string("http://zd8.top/2\0tail", 21)));
    m_app->setText(u"编辑框1", "http://one.cn");
    click(box(7));
    EXPECT_EQ(m_app->getText(u"转换编辑框"), "http://zd8.top/1");
    click(box(7));
    EXPECT_EQ(m_app->getText(u"转换编辑框"), "http://zd8.top/1");

    m_app->setText(u"编辑框1", "http://two.cn");
    EXPECT_EQ(m_app->getText(u"转换编辑框"), "http://zd8.top/1");
    click(box(7));
    EXPECT_EQ(m_app->getText(u"转换编辑框"), "http://zd8.top/2");
    click(box(7));

    Response dropped = Response::text("http://zd8.top/3");
    dropped.dropAfter = 0;
    m_server.forgetAnswers();
    m_server.answer("/api.php", dropped);
    click(box(7));
    EXPECT_EQ(m_app->getText(u"转换编辑框"), "");
}

TEST_F(ServiceBoxTest, TheWholeRoadFromPasteToCopy) {
    m_server.answer("dzw.cc/api.asp", Response::text("HTTP://DZW.CC/Ab9"));
    QGuiApplication::clipboard()->setText(QStringLiteral("https://例子.cn/路径?q=1&r=2#top"));
    click(QStringLiteral("粘贴按钮"));
    click(box(3));
    click(QStringLiteral("缩短按钮"));
    click(QStringLiteral("复制按钮"));
    ASSERT_EQ(m_server.requests().size(), 1u);
    EXPECT_EQ(m_server.requests()[0].line(),
              "GET /api.asp?url=https%3A%2F%2F%C0%FD%D7%D3.cn%2F%C2%B7%BE%B6%3Fq%3D1%26r%3D2%23top HTTP/1.0");
    EXPECT_EQ(m_app->getText(u"编辑框2"), "HTTP://DZW.CC/Ab9");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("HTTP://DZW.CC/Ab9"));
    EXPECT_EQ(m_app->getText(u"日志编辑框"),
              "https://例子.cn/路径?q=1&r=2#top\r\n缩短\r\nHTTP://DZW.CC/Ab9\r\n已复制短连接"_gbk);
    EXPECT_TRUE(m_world.messages.shown.empty());
}

TEST_F(ServiceBoxTest, TheWindowPaintsDuringASlowRequestAndAClickMeanwhileWaits) {
    Response slow = Response::text("http://kx6.cc/slow");
    slow.delaySeconds = 1.5;
    m_server.answer("/api.php", slow);
    MainWindow& window = m_app->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    struct Watch final : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++paints;
            return false;
        }
    } watch;
    window.installEventFilter(&watch);
    Text answerWhenPasteRan = "paste never ran";
    QObject::connect(qobject_cast<QAbstractButton*>(m_app->control(u"粘贴按钮")), &QAbstractButton::clicked,
                     [&] { answerWhenPasteRan = m_app->getText(u"转换编辑框"); });
    int paintsDuringRequest = 0;
    QTimer::singleShot(300, [&] {
        test::queueClick(m_app->control(u"粘贴按钮"));
        window.update();
    });
    QTimer::singleShot(900, [&] { paintsDuringRequest = watch.paints; });

    click(box(5));
    EXPECT_GT(paintsDuringRequest, 0);
    EXPECT_EQ(answerWhenPasteRan, "paste never ran");
    QTest::qWait(100);
    EXPECT_EQ(answerWhenPasteRan, "http://kx6.cc/slow");
}
