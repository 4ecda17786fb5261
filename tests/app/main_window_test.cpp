#include "app/app.h"
#include "app/message_presenter.h"
#include "app/startup.h"
#include "support/test_platform.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "runtime/picture_box.h"
#include "shorten/catalogue.h"

using namespace tovrel;

namespace {

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override { m_app = startApp(m_world.platform()); }

    App& app() { return *m_app; }
    template <class T = QWidget> T* widget(const QString& name) {
        T* found = app().window().findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    test::TestWorld m_world;
    std::unique_ptr<App> m_app;
};

QString captionOf(QWidget* widget) {
    if (auto* box = qobject_cast<QGroupBox*>(widget)) return box->title();
    if (auto* check = qobject_cast<QCheckBox*>(widget)) return check->text();
    if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* log = qobject_cast<QPlainTextEdit*>(widget)) return log->toPlainText();
    return {};
}

struct ExpectedControl {
    const char* name;
    const char* className;
    const char* parent; // "" for the window
    QRect place;
    QString caption;
};

// The main window's controls as the layout gives them, written out independently of the definition.
std::vector<ExpectedControl> expectedControls() {
    const char* group = "QGroupBox";
    const char* edit = "QLineEdit";
    const char* button = "QPushButton";
    const char* label = "QLabel";
    std::vector<ExpectedControl> rows = {
        {"分组框10", group, "", {0, 0, 624, 536}, ""},
        {"分组框7", group, "", {8, 13, 416, 56}, "需要缩短的网址"},
        {"编辑框1", edit, "分组框7", {8, 24, 400, 24}, ""},
        {"分组框9", group, "", {424, 13, 192, 56}, "已缩短的网址"},
        {"编辑框2", edit, "分组框9", {8, 24, 176, 24}, ""},
        {"分组框1", group, "", {8, 80, 208, 448}, "网址缩短类型选择"},
        {"分组框2", group, "分组框1", {8, 32, 192, 88}, "未采用key 长期有效"},
        {"分组框3", group, "分组框1", {8, 128, 192, 312}, "采用key 失效时间未知"},
        {"分组框4", group, "", {216, 80, 208, 344}, "二维码生成类型"},
        {"分组框5", group, "分组框4", {8, 32, 192, 88}, "采用长期有效短网址"},
        {"分组框6", group, "分组框4", {8, 128, 192, 208}, "已生成的短网址二维码"},
        {"二维码图片框", "tovrel::PictureBox", "分组框6", {8, 24, 175, 175}, ""},
        {"分组框8", group, "", {216, 424, 208, 104}, "运行日志"},
        {"日志编辑框", "QPlainTextEdit", "分组框8", {8, 24, 192, 72}, "欢迎使用Tovrel！"},
        {"分组框12", group, "", {424, 72, 192, 272}, "操作控制台"},
        {"粘贴按钮", button, "分组框12", {8, 32, 176, 32}, "粘贴长链接"},
        {"缩短按钮", button, "分组框12", {8, 80, 176, 32}, "缩短长链接"},
        {"复制按钮", button, "分组框12", {8, 128, 176, 32}, "复制短链接"},
        {"生成按钮", button, "分组框12", {8, 176, 176, 32}, "生成二维码"},
        {"导出按钮", button, "分组框12", {8, 224, 176, 32}, "导出二维码"},
        {"分组框11", group, "", {424, 352, 192, 176}, "关于此程序"},
        {"透明标签1", label, "分组框11", {16, 24, 64, 20}, "版本："},
        {"透明标签3", label, "分组框11", {88, 24, 96, 20}, "V1.0"},
        {"透明标签2", label, "分组框11", {16, 48, 64, 20}, "作者QQ："},
        {"透明标签4", label, "分组框11", {88, 48, 96, 20}, "3141592653"},
        {"透明标签5", label, "分组框11", {16, 72, 160, 20}, "www.tovrel.net"},
        {"更新按钮", button, "分组框11", {8, 96, 176, 32}, "检测更新"},
        {"关于按钮", button, "分组框11", {8, 136, 176, 32}, "关于程序"},
        {"转换编辑框", "tovrel::TextField", "", {736, 128, 80, 20}, ""},
        {"二维码网址编辑框", "tovrel::TextField", "", {824, 256, 80, 20}, ""},
        {"编辑框3", "tovrel::TextField", "", {632, 312, 232, 20}, ""},
    };
    static const QStringList checkNames = [] {
        QStringList list;
        for (int n = 0; n <= 25; ++n)
            list << QStringLiteral("选择框%1").arg(n);
        return list;
    }();
    static std::vector<QByteArray> utf8Names;
    utf8Names.clear();
    utf8Names.reserve(26);
    auto check = [&](int n, const char* parent, QPoint place, int entry) {
        utf8Names.push_back(checkNames[n].toUtf8());
        rows.push_back({utf8Names.back().constData(), "QCheckBox", parent, QRect(place, QSize(80, 24)),
                        QString::fromLatin1(serviceEntry(entry).shortDomain)});
    };
    const QPoint keyless[] = {{16, 24}, {104, 24}, {16, 56}, {104, 56}};
    for (int n = 1; n <= 4; ++n)
        check(n, "分组框2", keyless[n - 1], n);
    for (int n = 5; n <= 13; ++n)
        check(n, "分组框3", {8, 24 + 32 * (n - 5)}, n);
    for (int n = 14; n <= 21; ++n)
        check(n, "分组框3", {96, 24 + 32 * (n - 14)}, n);
    for (int n = 22; n <= 25; ++n)
        check(n, "分组框5", keyless[n - 22], n - 21);
    return rows;
}

} // namespace

TEST_F(MainWindowTest, EveryControlStandsWhereTheLayoutSays) {
    const auto expected = expectedControls();
    ASSERT_EQ(mainWindowDefinition().size(), expected.size());
    for (const ExpectedControl& row : expected) {
        SCOPED_TRACE(row.name);
        QWidget* control = widget(QString::fromUtf8(row.name));
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->metaObject()->className(), row.className);
        QWidget* parent = control->parentWidget();
        EXPECT_EQ(parent == &app().window() ? QString() : parent->objectName(),
                  QString::fromUtf8(row.parent));
        EXPECT_EQ(control->geometry(), row.place);
        EXPECT_EQ(captionOf(control), row.caption);
    }
}

TEST_F(MainWindowTest, StartsShownWithTheWelcomeLineAndEverythingElseEmpty) {
    MainWindow& window = app().window();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tovrel v1.0"));
    EXPECT_EQ(window.size(), QSize(621, 531));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);

    EXPECT_EQ(app().getText(u"日志编辑框"), "欢迎使用Tovrel！"_gbk);
    EXPECT_EQ(app().getText(u"日志编辑框"), "\xBB\xB6\xD3\xAD\xCA\xB9\xD3\xC3Tovrel\xA3\xA1");
}

TEST(MainWindowInitialStateTest, BeforeTheCreatedHandlerEverythingIsEnabledAndEmpty) {
    test::TestWorld world;
    App app(world.platform());
    EXPECT_FALSE(app.window().isVisible());
    for (const ControlDef& def : mainWindowDefinition()) {
        SCOPED_TRACE(def.name.toStdString());
        EXPECT_TRUE(app.control(def.name)->isEnabled());
        if (def.kind == ControlKind::CheckBox) {
            EXPECT_FALSE(app.isChecked(def.name));
        }
        if (def.kind == ControlKind::EditBox || def.kind == ControlKind::TextField) {
            EXPECT_EQ(app.getText(def.name), "");
        }
    }
    EXPECT_EQ(app.getText(u"日志编辑框"), "欢迎使用Tovrel！"_gbk);
    EXPECT_TRUE(app.getPicture(u"二维码图片框").empty());
}

TEST_F(MainWindowTest, OffScreenFieldsLieOutsideTheClientArea) {
    const QRect client = app().window().rect();
    for (const char16_t* name : {u"转换编辑框", u"二维码网址编辑框", u"编辑框3"})
        EXPECT_FALSE(client.intersects(app().control(name)->geometry()));
}

TEST_F(MainWindowTest, TextsRoundTripAsGbkAndTheLogSpeaksInCrLf) {
    const Text chinese = "中文 & #x"_gbk;
    app().setText(u"编辑框1", chinese);
    EXPECT_EQ(app().getText(u"编辑框1"), chinese);
    EXPECT_EQ(widget<QLineEdit>("编辑框1")->cursorPosition(), 0);
    app().setText(u"编辑框2", "");
    EXPECT_EQ(app().getText(u"编辑框2"), "");

    // State fields keep the bytes of an answer exactly, whatever they are and however long.
    Text answer = "http://x.cc/\xFF\x80\x81\r\n";
    answer += std::string(100000, 'a');
    app().setText(u"转换编辑框", answer);
    EXPECT_EQ(app().getText(u"转换编辑框"), answer);

    // A no-break space in the log stays what it is.
    app().setLog("a\u00A0b"_gbk);
    EXPECT_EQ(app().getText(u"日志编辑框"), "a\u00A0b"_gbk);

    app().setLog("a\r\nb"_gbk);
    EXPECT_EQ(widget<QPlainTextEdit>("日志编辑框")->blockCount(), 2);
    EXPECT_EQ(app().getText(u"日志编辑框"), "a\r\nb");
    app().setLog("\r\n缩短\r\n"_gbk);
    EXPECT_EQ(app().getText(u"日志编辑框"), "\r\n缩短\r\n"_gbk);
}

TEST_F(MainWindowTest, AppendKeepsWhatTheUserTypedAndShowsTheFirstLine) {
    auto* log = widget<QPlainTextEdit>("日志编辑框");
    log->moveCursor(QTextCursor::End);
    QTest::keyClicks(log, "typed");
    app().appendLog("\r\n已粘贴长链接"_gbk);
    EXPECT_EQ(app().getText(u"日志编辑框"), "欢迎使用Tovrel！typed\r\n已粘贴长链接"_gbk);

    for (int i = 0; i < 40; ++i)
        app().appendLog("\r\n已复制短连接"_gbk);
    EXPECT_EQ(log->verticalScrollBar()->value(), 0);
    EXPECT_EQ(log->textCursor().position(), 0);
    EXPECT_GT(log->verticalScrollBar()->maximum(), 0);
}

TEST_F(MainWindowTest, ADisabledBoxKeepsItsTickAndTakesNoClick) {
    auto* box = widget<QCheckBox>("选择框3");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 12));
    ASSERT_TRUE(app().isChecked(u"选择框3"));
    app().setDisabled(u"选择框3", true);
    EXPECT_TRUE(app().isChecked(u"选择框3"));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 12));
    EXPECT_TRUE(app().isChecked(u"选择框3"));
    app().setDisabled(u"选择框3", false);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 12));
    EXPECT_FALSE(app().isChecked(u"选择框3"));
}

TEST_F(MainWindowTest, MessageBoxesGetTheirStyleTitleAndAnswer) {
    struct Case {
        Text text;
        int style;
        std::optional<Text> title;
        int answer;
        QString shownTitle;
    };
    const Case cases[] = {
        {"缩短失败！原因可能是接口失效"_gbk, StyleError, "错误"_gbk, ResultOk, QStringLiteral("错误")},
        {"当前已是新版本"_gbk, StyleOk, "提示"_gbk, ResultOk, QStringLiteral("提示")},
        {"检测到新版本，是否更新"_gbk, StyleYesNo, std::nullopt, ResultYes, QStringLiteral("信息：")},
        {"检测到新版本，是否更新"_gbk, StyleYesNo, std::nullopt, ResultNo, QStringLiteral("信息：")},
    };
    for (const Case& c : cases) {
        m_world.messages.answerNext(c.answer);
        EXPECT_EQ(app().showMessage(c.text, c.style, c.title), c.answer);
        EXPECT_EQ(m_world.messages.shown.back(),
                  (test::ShownMessage{fromGbk(c.text), c.style, c.shownTitle}));
    }
}

TEST(QtMessagePresenterTest, ShowsAModalBoxWithTheAskedButtonsAndIcon) {
    struct Case {
        int style;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton press;
        int result;
    };
    const Case cases[] = {
        {StyleError, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, ResultOk},
        {StyleOk, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok, ResultOk},
        {StyleYesNo, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, ResultYes},
        {StyleYesNo, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, ResultNo},
    };
    for (const Case& c : cases) {
        QtMessagePresenter presenter;
        QString seenTitle;
        QMessageBox::Icon seenIcon = QMessageBox::Warning;
        QMessageBox::StandardButtons seenButtons;
        Qt::WindowModality seenModality = Qt::NonModal;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seenTitle = box->windowTitle();
            seenIcon = box->icon();
            seenButtons = box->standardButtons();
            seenModality = box->windowModality();
            QTest::mouseClick(box->button(c.press), Qt::LeftButton);
        });
        EXPECT_EQ(presenter.present(QStringLiteral("文字"), c.style, QStringLiteral("标题")), c.result);
        EXPECT_EQ(seenTitle, QStringLiteral("标题"));
        EXPECT_EQ(seenIcon, c.icon);
        EXPECT_EQ(seenButtons, c.buttons);
        EXPECT_EQ(seenModality, Qt::ApplicationModal);
    }
}

TEST_F(MainWindowTest, EscapeClosesTheWindowWhicheverControlHasTheFocus) {
    for (const char* name : {"编辑框1", "编辑框2", "日志编辑框", "选择框9", "复制按钮"}) {
        SCOPED_TRACE(name);
        m_app = startApp(m_world.platform());
        MainWindow& window = app().window();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QWidget* focus = widget(QString::fromUtf8(name));
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible());
    }
}

TEST_F(MainWindowTest, ACloseAskedForDuringAHandlerWaitsUntilItReturns) {
    MainWindow& window = app().window();
    bool stillOpenInside = false;
    window.runHandler([&](App&) {
        window.close();
        stillOpenInside = window.isVisible();
    });
    EXPECT_TRUE(stillOpenInside);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, CaptionColoursAndFontsStayOnTheirOwnControls) {
    EXPECT_EQ(widget("分组框7")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(widget("分组框5")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(widget("选择框22")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(widget("选择框5")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(widget("编辑框2")->palette().color(QPalette::Text), QColor(255, 0, 0));
    // Children of red group boxes keep black text and their own fonts.
    EXPECT_EQ(widget("编辑框1")->palette().color(QPalette::Text), QColor(0, 0, 0));
    EXPECT_EQ(widget("日志编辑框")->palette().color(QPalette::Text), QColor(0, 0, 0));
    EXPECT_EQ(widget("透明标签1")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_FALSE(widget("编辑框1")->font().bold());
    EXPECT_EQ(widget("分组框1")->font().pixelSize(), 19);
    EXPECT_EQ(widget("选择框5")->font().pixelSize(), 14);
    EXPECT_TRUE(widget("粘贴按钮")->font().bold());
    EXPECT_EQ(widget("日志编辑框")->font().pixelSize(), 10);
}
