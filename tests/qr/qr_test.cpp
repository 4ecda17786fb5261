#include "app/app.h"
#include "app/message_presenter.h"
#include "app/startup.h"
#include "qr/qr_code.h"
#include "support/test_platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace tovrel;

TEST(ExportTimeStampTest, DropsLeadingZerosAndShortensTheTimeFromTheRight) {
    struct Case {
        QDate date;
        QTime time;
        const char* expected;
    };
    const QDate nov1(2019, 11, 1);
    const Case cases[] = {
        {nov1, {9, 5, 7}, "2019年11月1日9时5分7秒"},
        {nov1, {9, 5, 0}, "2019年11月1日9时5分"},
        {nov1, {9, 0, 0}, "2019年11月1日9时"},
        {nov1, {9, 0, 7}, "2019年11月1日9时0分7秒"},
        {nov1, {0, 0, 7}, "2019年11月1日0时0分7秒"},
        {nov1, {0, 5, 0}, "2019年11月1日0时5分"},
        {nov1, {0, 0, 0}, "2019年11月1日"},
        {{2019, 12, 9}, {14, 30, 0}, "2019年12月9日14时30分"},
        {{2026, 1, 31}, {23, 59, 59}, "2026年1月31日23时59分59秒"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fromGbk(exportTimeStamp(QDateTime(c.date, c.time))), QString::fromUtf8(c.expected));
}

TEST(QrCodeTest, RequestAddressEncodesTheTextAsAQueryValue) {
    EXPECT_EQ(
        qrRequestAddress("HTTP://a.cc/x?b=1&c=2#d"),
        "https://qr.tovrel.net/user/a/wvideo/getQRCode.do?text=HTTP%3A%2F%2Fa.cc%2Fx%3Fb%3D1%26c%3D2%23d");
    EXPECT_EQ(qrRequestAddress(""), "https://qr.tovrel.net/user/a/wvideo/getQRCode.do?text=");
}

TEST(QrCodeTest, LocalPictureIsAPngOfAtLeastTheBoxSize) {
    const Bytes png = renderQrPng("https://tny.cc/abc");
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(png[0], 0x89);
    const QImage image = QImage::fromData(png.data(), int(png.size()), "PNG");
    EXPECT_GE(image.width(), 175);
    EXPECT_EQ(image.width(), image.height());
    // The quiet zone is white, the finder pattern's corner black.
    EXPECT_EQ(qGray(image.pixel(0, 0)), 255);
    const int module = image.width() / (21 + 8); // version 1 for this short text
    EXPECT_EQ(qGray(image.pixel(4 * module, 4 * module)), 0);
}

namespace {

class ExportTest : public testing::Test {
protected:
    void SetUp() override {
        m_app = startApp(m_world.platform());
        m_app->setPicture(u"二维码图片框", m_picture);
    }

    QString exportedPath(const QString& stamp) const {
        return m_world.desktop.path() + QStringLiteral("/") + stamp + QStringLiteral("短地址.jpg");
    }
    QByteArray fileBytes(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    test::TestWorld m_world;
    std::unique_ptr<App> m_app;
    Bytes m_picture{0x89, 'P', 'N', 'G', 1, 2, 3, 0, 4};
};

} // namespace

TEST_F(ExportTest, WritesThePictureBytesUnderTheTimeStampedName) {
    m_world.now = QDateTime(QDate(2019, 12, 9), QTime(14, 30, 0));
    QTest::mouseClick(m_app->control(u"导出按钮"), Qt::LeftButton);
    const QString path = exportedPath(QStringLiteral("2019年12月9日14时30分"));
    EXPECT_EQ(fileBytes(path),
              QByteArray(reinterpret_cast<const char*>(m_picture.data()), int(m_picture.size())));
    EXPECT_EQ(m_app->getText(u"日志编辑框"), "欢迎使用Tovrel！\r\n已将二维码导出到桌面"_gbk);
    EXPECT_TRUE(m_world.messages.shown.empty());

    // A second export in the same second replaces the file.
    const Bytes second{'<', 'h', 't', 'm', 'l', '>'};
    m_app->setPicture(u"二维码图片框", second);
    QTest::mouseClick(m_app->control(u"导出按钮"), Qt::LeftButton);
    EXPECT_EQ(fileBytes(path), QByteArray("<html>"));
    EXPECT_EQ(QDir(m_world.desktop.path()).entryList(QDir::Files).size(), 1);

    // An empty picture field gives an empty file, at midnight under the date alone.
    m_world.now = QDateTime(QDate(2019, 12, 10), QTime(0, 0, 0));
    m_app->setPicture(u"二维码图片框", {});
    QTest::mouseClick(m_app->control(u"导出按钮"), Qt::LeftButton);
    EXPECT_EQ(fileBytes(exportedPath(QStringLiteral("2019年12月10日"))), QByteArray());
}

TEST_F(ExportTest, AFileThatCannotBeCreatedIsReportedAndLeavesNoFile) {
    struct Case {
        const char* name;
        QString folder;
    };
    const QString missing = m_world.desktop.path() + QStringLiteral("/gone");
    const QString readOnly = m_world.desktop.path() + QStringLiteral("/locked");
    const QString taken = m_world.desktop.path() + QStringLiteral("/taken");
    QDir().mkdir(readOnly);
    ::chmod(QFile::encodeName(readOnly).constData(), 0555);
    // The export's own name is already a folder: no user, root included, can create the file.
    m_world.now = QDateTime(QDate(2020, 5, 6), QTime(7, 8, 9));
    QDir().mkpath(taken + QStringLiteral("/2020年5月6日7时8分9秒短地址.jpg"));
    std::vector<Case> cases = {{"missing folder", missing}, {"name taken by a folder", taken}};
    if (::geteuid() != 0) cases.push_back({"read-only folder", readOnly}); // root writes there all the same
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_world.desktopOverride = c.folder;
        m_world.messages.shown.clear();
        m_app->setLog("");
        QTest::mouseClick(m_app->control(u"导出按钮"), Qt::LeftButton);
        ASSERT_EQ(m_world.messages.shown.size(), 1u);
        EXPECT_EQ(m_world.messages.shown[0], (test::ShownMessage{QStringLiteral("导出二维码失败！"),
                                                                 StyleError, QStringLiteral("错误")}));
        EXPECT_EQ(m_app->getText(u"日志编辑框"), "\r\n导出二维码失败！"_gbk);
        EXPECT_TRUE(QDir(c.folder).entryList(QDir::Files).isEmpty());
    }
    EXPECT_FALSE(QDir(missing).exists());
    ::chmod(QFile::encodeName(readOnly).constData(), 0755);
}

TEST_F(ExportTest, AFileSystemThatRunsOutOfRoomLeavesNoPartialFile) {
    // /dev/full takes the open but fails every write: the stand-in for a full disk.
    if (!QFileInfo::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full";
    const QString folder = m_world.desktop.path() + QStringLiteral("/full");
    QDir().mkdir(folder);
    m_world.now = QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5));
    const QString target = folder + QStringLiteral("/2020年1月2日3时4分5秒短地址.jpg");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), target));
    m_world.desktopOverride = folder;
    QTest::mouseClick(m_app->control(u"导出按钮"), Qt::LeftButton);
    ASSERT_EQ(m_world.messages.shown.size(), 1u);
    EXPECT_EQ(m_world.messages.shown[0].text, QStringLiteral("导出二维码失败！"));
    EXPECT_FALSE(QFileInfo(target).isSymLink() || QFileInfo::exists(target));
}

TEST_F(ExportTest, QrTypeBoxesLockEachOtherAndNothingElse) {
    auto enabled = [&](int n) { return m_app->control(QStringLiteral("选择框%1").arg(n))->isEnabled(); };
    QTest::mouseClick(m_app->control(u"选择框22"), Qt::LeftButton, {}, QPoint(8, 12));
    for (int n = 1; n <= 25; ++n)
        EXPECT_EQ(enabled(n), n < 23) << n;
    QTest::mouseClick(m_app->control(u"选择框22"), Qt::LeftButton, {}, QPoint(8, 12));
    for (int n = 1; n <= 25; ++n)
        EXPECT_TRUE(enabled(n)) << n;
    EXPECT_TRUE(m_world.messages.shown.empty());
    EXPECT_EQ(m_app->getText(u"日志编辑框"), "欢迎使用Tovrel！"_gbk);
}

TEST_F(ExportTest, GenerateWithoutAQrTypeOnlySaysSo) {
    QTest::mouseClick(m_app->control(u"生成按钮"), Qt::LeftButton);
    ASSERT_EQ(m_world.messages.shown.size(), 1u);
    EXPECT_EQ(m_world.messages.shown[0],
              (test::ShownMessage{QStringLiteral("请先选择需要生成二维码的短网址类型"), StyleError,
                                  QStringLiteral("错误")}));
    EXPECT_EQ(m_app->getText(u"日志编辑框"), "欢迎使用Tovrel！"_gbk);
    EXPECT_EQ(m_app->getPicture(u"二维码图片框"), m_picture);
}
