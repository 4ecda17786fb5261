#include "about/about_window.h"
#include "about/commands.h"
#include "app/app.h"
#include "app/message_presenter.h"
#include "app/startup.h"
#include "runtime/picture_box.h"
#include "support/qr_decode.h"
#include "support/test_platform.h"
#include "support/test_server.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tovrel;

namespace {

class AboutTest : public testing::Test {
protected:
    void SetUp() override { m_app = startApp(m_world.platform()); }

    void click(const char* name) {
        QTest::mouseClick(m_app->control(QString::fromUtf8(name)), Qt::LeftButton);
    }

    test::TestWorld m_world;
    std::unique_ptr<App> m_app;
};

AboutWindow* openAbout(App& app) {
    QTest::mouseClick(app.control(u"关于按钮"), Qt::LeftButton);
    return qobject_cast<AboutWindow*>(QApplication::activeModalWidget());
}

void pressAt(AboutWindow* about, QPoint point) {
    QWidget* target = about->childAt(point);
    if (target == nullptr) target = about;
    QTest::mousePress(target, Qt::LeftButton, {}, target->mapFrom(about, point));
}

void waitUntilGone(QPointer<AboutWindow> about) {
    for (int i = 0; i < 50 && about; ++i)
        QTest::qWait(5);
}

} // namespace

TEST_F(AboutTest, UpdateCheckComparesTheAnnouncementByteForByte) {
    struct Case {
        const char* announcement;
        bool current;
    };
    const Case cases[] = {{"1.0", true},   {"1.0\r\n", false}, {" 1.0", false}, {"1.00", false},
                          {"V1.0", false}, {"0.9", false},     {"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.announcement);
        m_world.messages.shown.clear();
        m_app->setText(u"编辑框3", c.announcement);
        if (!c.current) m_world.messages.answerNext(ResultNo);
        const Text logBefore = m_app->getText(u"日志编辑框");
        click("更新按钮");
        ASSERT_EQ(m_world.messages.shown.size(), 1u);
        const test::ShownMessage expected =
            c.current ? test::ShownMessage{QStringLiteral("当前已是新版本"), StyleOk, QStringLiteral("提示")}
                      : test::ShownMessage{QStringLiteral("检测到新版本，是否更新"), StyleYesNo,
                                           QStringLiteral("信息：")};
        EXPECT_EQ(m_world.messages.shown[0], expected);
        EXPECT_EQ(m_app->getText(u"编辑框3"), c.announcement);
        EXPECT_EQ(m_app->getText(u"日志编辑框"), logBefore);
    }
    EXPECT_TRUE(m_world.opened.isEmpty());
}

TEST_F(AboutTest, YesOpensTheDownloadPageAndNoAsksAgainNextTime) {
    m_app->setText(u"编辑框3", "2.0");
    m_world.messages.answerNext(ResultNo);
    click("更新按钮");
    EXPECT_TRUE(m_world.opened.isEmpty());
    m_world.messages.answerNext(ResultYes);
    click("更新按钮");
    EXPECT_EQ(m_world.messages.shown.size(), 2u);
    EXPECT_EQ(m_world.opened, QStringList{QStringLiteral("https://pan.tovfile.com/b0djjxmsf")});
}

TEST_F(AboutTest, TheCardIsFramelessCentredAndModalOverADisabledMainWindow) {
    AboutWindow* about = openAbout(*m_app);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->size(), QSize(380, 252));
    EXPECT_TRUE(about->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(about->windowTitle(), QString());
    EXPECT_EQ(about->parentWidget(), nullptr);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(about->pos(), QPoint((screen.width() - 380) / 2, (screen.height() - 252) / 2));
    EXPECT_FALSE(m_app->window().isEnabled());

    // A click on the main window runs no handler while the card is open.
    m_app->setText(u"编辑框3", "2.0");
    click("更新按钮");
    EXPECT_TRUE(m_world.messages.shown.empty());

    QPointer<AboutWindow> guard(about);
    pressAt(about, {360, 20});
    waitUntilGone(guard);
    EXPECT_TRUE(guard.isNull());
    EXPECT_TRUE(m_app->window().isEnabled());
    m_world.messages.answerNext(ResultNo);
    click("更新按钮");
    EXPECT_EQ(m_world.messages.shown.size(), 1u);
}

TEST_F(AboutTest, OnlyTheCloseMarkInsideTheCardReacts) {
    AboutWindow* about = openAbout(*m_app);
    ASSERT_NE(about, nullptr);
    QPointer<AboutWindow> guard(about);
    // The title, the credits, a donation picture, the card itself, and just left of and below the hot spot.
    for (const QPoint point : {QPoint(150, 20), QPoint(60, 60), QPoint(150, 190), QPoint(30, 245),
                               QPoint(334, 20), QPoint(360, 41)}) {
        pressAt(about, point);
        QTest::qWait(10);
        ASSERT_FALSE(guard.isNull()) << point.x() << "," << point.y();
    }
    // The hot spot reaches 8 pixels above the card, so its visible part is 44 x 40 in the top-right corner.
    QWidget* hotSpot = about->control(QStringLiteral("透明标签7"));
    EXPECT_EQ(hotSpot->geometry(), QRect(336, -8, 48, 48));
    EXPECT_EQ(hotSpot->visibleRegion().boundingRect(), QRect(0, 8, 44, 40));
    pressAt(about, {379, 0});
    waitUntilGone(guard);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(AboutTest, OpeningAgainShowsTheSameCard) {
    auto snapshot = [](AboutWindow* about) {
        QStringList items;
        for (const ControlDef& def : aboutWindowDefinition()) {
            QWidget* control = about->control(def.name);
            const auto* label = qobject_cast<QLabel*>(control);
            const auto* picture = qobject_cast<PictureBox*>(control);
            items << QStringLiteral("%1 %2,%3 %4x%5 %6 %7")
                         .arg(def.name)
                         .arg(control->x())
                         .arg(control->y())
                         .arg(control->width())
                         .arg(control->height())
                         .arg(label ? label->text() : QString())
                         .arg(picture ? qsizetype(picture->picture().size()) : -1);
        }
        return items;
    };
    for (int round = 0; round < 2; ++round) {
        AboutWindow* about = openAbout(*m_app);
        ASSERT_NE(about, nullptr);
        static QStringList first;
        if (round == 0)
            first = snapshot(about);
        else
            EXPECT_EQ(snapshot(about), first);
        QPointer<AboutWindow> guard(about);
        pressAt(about, {360, 20});
        waitUntilGone(guard);
        ASSERT_TRUE(guard.isNull());
    }
}

TEST_F(AboutTest, TheCardCarriesItsPicturesAndTexts) {
    AboutWindow* about = openAbout(*m_app);
    ASSERT_NE(about, nullptr);
    struct Picture {
        const char* name;
        QSize size;
    };
    for (const Picture& p :
         {Picture{"图片框3", {500, 313}}, Picture{"图片框1", {550, 550}}, Picture{"图片框2", {382, 382}}}) {
        auto* box = qobject_cast<PictureBox*>(about->control(QString::fromUtf8(p.name)));
        ASSERT_NE(box, nullptr) << p.name;
        const Bytes& bytes = box->picture();
        const QImage image = QImage::fromData(bytes.data(), int(bytes.size()), "PNG");
        EXPECT_EQ(image.size(), p.size) << p.name;
    }
    EXPECT_EQ(QImage(QStringLiteral(":/about/landscape.jpg")).size(), QSize(500, 313));
    // The donation codes scan, and say nothing but our own page.
    auto picture = [&](const char16_t* name) {
        return qobject_cast<PictureBox*>(about->control(QString::fromUtf16(name)))->picture();
    };
    EXPECT_EQ(test::decodeQr(picture(u"图片框1")), "https://www.tovrel.net/");
    EXPECT_EQ(test::decodeQr(picture(u"图片框2")), "https://www.tovrel.net/thanks");
    // 图片框3 lies beneath every other control.
    EXPECT_EQ(about->children().indexOf(about->control(QStringLiteral("图片框3"))), 0);
    EXPECT_EQ(qobject_cast<QLabel*>(about->control(QStringLiteral("透明标签1")))->text(),
              QStringLiteral("Tovrel v1.0"));
    about->close();
}

TEST(AnnouncementTest, StartUpKeepsWhatTheAnnouncementSaysOrNothing) {
    struct Case {
        const char* name;
        std::optional<test::Response> answer; // none: nothing listens
        Text expected;
    };
    const Case cases[] = {
        {"current", test::Response::text("1.0"), "1.0"},
        {"newer with a line break", test::Response::text("1.1\r\n"), "1.1\r\n"},
        {"error page", test::Response::text("<html>not found</html>", 404), "<html>not found</html>"},
        {"unreachable", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestServer server;
        test::TestWorld world;
        if (c.answer) {
            server.answer("pan.tovfile.com/tovrel/version.txt", *c.answer);
            world.http = server.options();
        } else {
            world.http.connectTo = {"::127.0.0.1:9"};
        }
        const auto app = startApp(world.platform());
        EXPECT_TRUE(app->window().isVisible());
        EXPECT_EQ(app->getText(u"编辑框3"), c.expected);
        if (c.answer) {
            const auto requests = server.requests();
            ASSERT_GE(requests.size(), 1u);
            EXPECT_EQ(requests[0].line(), "GET /tovrel/version.txt HTTP/1.0");
        }
    }
}
