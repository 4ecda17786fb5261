#include "app/app.h"
#include "app/message_presenter.h"
#include "app/startup.h"
#include "shorten/commands.h"
#include "support/test_platform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

using namespace tovrel;

TEST(SchemeTest, AcceptsBothSchemesInAnyCaseAndNothingBeforeThem) {
    struct Case {
        std::string_view text;
        bool passes;
    };
    const Case cases[] = {
        {"http://", true},       {"https://", true}, {"HTTP://A.CC", true}, {"hTtPs://x", true},
        {"http:/", false},       {"https:/", false}, {"", false},           {" http://a", false},
        {"\r\nhttp://a", false}, {"ftp://a", false}, {"http:\\\\a", false}, {"\xA3\xA8http://", false},
        {"httpx://a", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(passesSchemeTest(c.text), c.passes) << c.text;
}

namespace {

class ShortenTest : public testing::Test {
protected:
    void SetUp() override { m_app = startApp(m_world.platform()); }

    void click(const char16_t* name) {
        QTest::mouseClick(m_app->control(name), Qt::LeftButton, {}, QPoint(8, 12));
    }
    Text log() const { return m_app->getText(u"日志编辑框"); }

    test::TestWorld m_world;
    std::unique_ptr<App> m_app;
};

} // namespace

TEST_F(ShortenTest, ShortenAcceptsOnlyALinkAndShowsItWhole) {
    struct Case {
        Text answer;
        bool accepted;
    };
    const Case cases[] = {
        {"HTTP://Tny.CC/AbC", true},
        {"https://tny.cc/x", true},
        {"http://", true},
        {"http://tny.cc/x\r\nrate limited", true},
        {"http:/", false},
        {" http://tny.cc/x", false},
        {"\r\nhttp://tny.cc/x", false},
        {"", false},
        {"<html>502</html>", false},
    };
    click(u"选择框2");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        m_app->setText(u"编辑框1", "https://example.com/长?a=1&b=2"_gbk);
        m_app->setText(u"编辑框2", "previous");
        m_app->setLog("before"_gbk);
        m_app->setText(u"转换编辑框", c.answer);
        m_world.messages.shown.clear();
        click(u"缩短按钮");
        if (c.accepted) {
            EXPECT_TRUE(m_world.messages.shown.empty());
            EXPECT_EQ(m_app->getText(u"编辑框2"), c.answer);
            EXPECT_EQ(log(), "https://example.com/长?a=1&b=2\r\n缩短\r\n"_gbk + c.answer);
        } else {
            ASSERT_EQ(m_world.messages.shown.size(), 1u);
            EXPECT_EQ(m_world.messages.shown[0],
                      (test::ShownMessage{QStringLiteral("缩短失败！原因可能是接口失效"), StyleError,
                                          QStringLiteral("错误")}));
            EXPECT_EQ(m_app->getText(u"编辑框2"), "");
            EXPECT_EQ(log(), "before\r\n缩短失败！原因可能是接口失效"_gbk);
        }
    }
}

TEST_F(ShortenTest, FailureLinesComeAfterTheBoxIsClosed) {
    Text logWhileOpen;
    m_world.messages.whileOpen = [&] { logWhileOpen = log(); };
    click(u"缩短按钮");
    EXPECT_EQ(logWhileOpen, "欢迎使用Tovrel！"_gbk);
    EXPECT_EQ(log(), "欢迎使用Tovrel！\r\n请先选中需要缩短的类型"_gbk);
    EXPECT_EQ(m_world.messages.shown.back().text, QStringLiteral("请先选中需要缩短的类型"));
}

TEST_F(ShortenTest, WithoutATickedServiceTheShortLinkStaysAsItWas) {
    click(u"选择框4");
    m_app->setText(u"转换编辑框", "http://urlx.cc/ok");
    click(u"选择框4");
    m_app->setText(u"编辑框2", "http://kept");
    click(u"缩短按钮");
    EXPECT_EQ(m_app->getText(u"编辑框2"), "http://kept");
    EXPECT_EQ(m_world.messages.shown.size(), 1u);
}

TEST_F(ShortenTest, TwoShortensInARowLeaveOnlyTheSecondOnesLines) {
    click(u"选择框1");
    m_app->setText(u"转换编辑框", "http://wbo.cc/1");
    click(u"缩短按钮");
    m_app->setText(u"编辑框1", "");
    m_app->setText(u"转换编辑框", "http://wbo.cc/2");
    click(u"缩短按钮");
    EXPECT_EQ(log(), "\r\n缩短\r\nhttp://wbo.cc/2"_gbk);
}

TEST_F(ShortenTest, PasteAndCopyGoThroughTheClipboard) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("https://例子.cn/a b"));
    click(u"粘贴按钮");
    EXPECT_EQ(m_app->getText(u"编辑框1"), "https://例子.cn/a b"_gbk);

    // An image on the clipboard: no text, so the long address is cleared.
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    clipboard->setImage(image);
    click(u"粘贴按钮");
    EXPECT_EQ(m_app->getText(u"编辑框1"), "");

    m_app->setText(u"编辑框2", "http://tny.cc/短"_gbk);
    click(u"复制按钮");
    EXPECT_EQ(clipboard->text(), QStringLiteral("http://tny.cc/短"));
    // Copying an empty short link still replaces what the clipboard held.
    m_app->setText(u"编辑框2", "");
    click(u"复制按钮");
    EXPECT_EQ(clipboard->text(), QString());
    EXPECT_EQ(log(), "欢迎使用Tovrel！\r\n已粘贴长链接\r\n已粘贴长链接\r\n已复制短连接\r\n已复制短连接"_gbk);
}
