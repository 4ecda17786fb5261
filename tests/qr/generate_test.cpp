#include "app/app.h"
#include "app/message_presenter.h"
#include "app/startup.h"
#include "qr/qr_code.h"
#include "shorten/catalogue.h"
#include "support/qr_decode.h"
#include "support/test_platform.h"
#include "support/test_server.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

using namespace tovrel;
using test::Response;

namespace {

std::string pngOf(QColor color) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(color);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toStdString();
}

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

class GenerateTest : public testing::Test {
protected:
    void SetUp() override {
        m_server.answer("qr.tovrel.net/user/a/wvideo/getQRCode.do", Response::text(m_qrPicture));
        m_world.http = m_server.options();
        m_app = startApp(m_world.platform());
        m_server.clearRequests();
        m_app->setText(u"编辑框1", "https://example.com/a?b=1"_gbk);
    }

    void click(const char16_t* name) {
        QTest::mouseClick(m_app->control(name), Qt::LeftButton, {}, QPoint(8, 12));
    }
    std::vector<std::string> requestLines() {
        std::vector<std::string> lines;
        for (const auto& request : m_server.requests())
            lines.push_back(request.line());
        return lines;
    }
    static std::string qrLine(std::string_view text) {
        const Text address = qrRequestAddress(text);
        return "GET " + address.substr(address.find("/user/")) + " HTTP/1.0";
    }

    const std::string m_qrPicture = pngOf(Qt::darkGreen);
    test::TestServer m_server;
    test::TestWorld m_world;
    std::unique_ptr<App> m_app;
};

} // namespace

TEST_F(GenerateTest, AsksTheTickedServiceThenTheQrPictureOfItsAnswer) {
    m_server.answer("dzw.cc/api.asp", Response::text("Https://dzw.cc/Q&r#1"));
    m_app->setText(u"编辑框2", "http://shown.cc/x");
    click(u"选择框24");
    click(u"生成按钮");
    EXPECT_EQ(requestLines(),
              (std::vector<std::string>{"GET /api.asp?url=https%3A%2F%2Fexample.com%2Fa%3Fb%3D1 HTTP/1.0",
                                        qrLine("Https://dzw.cc/Q&r#1")}));
    EXPECT_EQ(m_app->getText(u"二维码网址编辑框"), "Https://dzw.cc/Q&r#1");
    EXPECT_EQ(m_app->getPicture(u"二维码图片框"), bytesOf(m_qrPicture));
    EXPECT_EQ(m_app->getText(u"日志编辑框"), "欢迎使用Tovrel！\r\n已将网址http://shown.cc/x生成二维码"_gbk);
    EXPECT_TRUE(m_world.messages.shown.empty());
    EXPECT_TRUE(m_app->isChecked(u"选择框24"));
}

TEST_F(GenerateTest, ALongAddressWithoutASchemeIsRefusedBeforeAnyRequest) {
    const Bytes before = m_app->getPicture(u"二维码图片框");
    for (const Text& address : {Text("example.com/a"), Text(""), Text(" http://a.cc")}) {
        SCOPED_TRACE(address);
        m_world.messages.shown.clear();
        m_app->setLog("");
        m_app->setText(u"编辑框1", address);
        click(u"选择框23");
        click(u"生成按钮");
        click(u"选择框23");
        ASSERT_EQ(m_world.messages.shown.size(), 1u);
        EXPECT_EQ(m_world.messages.shown[0],
                  (test::ShownMessage{QStringLiteral("请在网址前添加http://或https://"), StyleError,
                                      QStringLiteral("错误")}));
        EXPECT_EQ(m_app->getText(u"日志编辑框"), "\r\n请在长网址前添加http://或https://"_gbk);
    }
    EXPECT_TRUE(m_server.requests().empty());
    EXPECT_EQ(m_app->getPicture(u"二维码图片框"), before);
    EXPECT_EQ(m_app->getText(u"二维码网址编辑框"), "");
}

TEST_F(GenerateTest, AnAnswerThatIsNoLinkGivesTheFailureThenTheDefaultPicture) {
    m_server.answer("gate.tnylink.net/gettiny", Response::text("error"));
    Text logWhileOpen;
    int requestsWhileOpen = -1;
    m_world.messages.whileOpen = [&] {
        logWhileOpen = m_app->getText(u"日志编辑框");
        requestsWhileOpen = int(m_server.requests().size());
    };
    click(u"选择框23");
    click(u"生成按钮");
    EXPECT_EQ(m_app->getText(u"二维码网址编辑框"), "error");
    ASSERT_EQ(m_world.messages.shown.size(), 1u);
    EXPECT_EQ(m_world.messages.shown[0].text, QStringLiteral("生成二维码失败！原因可能是短连接接口失效"));
    EXPECT_EQ(logWhileOpen, "欢迎使用Tovrel！"_gbk);
    EXPECT_EQ(requestsWhileOpen, 1);
    EXPECT_EQ(m_app->getText(u"日志编辑框"),
              "欢迎使用Tovrel！\r\n生成二维码失败！原因可能是短连接接口失效"_gbk);
    EXPECT_EQ(requestLines().back(), qrLine(defaultQrText));
    EXPECT_EQ(requestLines().size(), 2u);
    EXPECT_EQ(m_app->getPicture(u"二维码图片框"), bytesOf(m_qrPicture));
}

TEST_F(GenerateTest, AFailedShortLinkFetchEmptiesTheQrLink) {
    m_server.answer("/weibo_url.php", Response::text("http://wbo.cc/1"));
    click(u"选择框22");
    click(u"生成按钮");
    ASSERT_EQ(m_app->getText(u"二维码网址编辑框"), "http://wbo.cc/1");
    Response dropped = Response::text("http://wbo.cc/2");
    dropped.dropAfter = 0;
    m_server.answer("/weibo_url.php", dropped);
    click(u"生成按钮");
    EXPECT_EQ(m_app->getText(u"二维码网址编辑框"), "");
    EXPECT_EQ(m_world.messages.shown.size(), 1u);
}

TEST_F(GenerateTest, BytesThatAreNoPictureAreReplacedByTheCodeMadeHere) {
    m_server.answer("urlx.cc/api/v1/sUrl", Response::text("http://urlx.cc/k7"));
    m_server.answer("qr.tovrel.net/user/a/wvideo/getQRCode.do", Response::text("<html>503</html>", 503));
    click(u"选择框25");
    click(u"生成按钮");
    EXPECT_EQ(requestLines().size(), 2u);
    const Bytes picture = m_app->getPicture(u"二维码图片框");
    EXPECT_EQ(test::decodeQr(picture), "http://urlx.cc/k7");
    EXPECT_EQ(m_app->getText(u"日志编辑框"), "欢迎使用Tovrel！\r\n已将网址生成二维码"_gbk);
}

TEST(StartUpTest, TheDefaultQrCodeShowsEvenWithoutANetwork) {
    test::TestWorld world;
    world.http.connectTo = {"::127.0.0.1:9"}; // every host to a closed port
    const auto app = startApp(world.platform());
    EXPECT_TRUE(app->window().isVisible());
    EXPECT_EQ(test::decodeQr(app->getPicture(u"二维码图片框")), std::string(defaultQrText));
    EXPECT_EQ(app->getText(u"日志编辑框"), "欢迎使用Tovrel！"_gbk);
    EXPECT_TRUE(world.messages.shown.empty());
}
