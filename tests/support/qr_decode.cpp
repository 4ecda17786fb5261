#include "support/qr_decode.h"

#include <QProcess>
#include <QTemporaryFile>

namespace tovrel::test {

std::string decodeQr(const Bytes& picture) {
    QTemporaryFile file;
    if (!file.open()) return {};
    file.write(reinterpret_cast<const char*>(picture.data()), qint64(picture.size()));
    file.close();
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), file.fileName()});
    if (!zbar.waitForFinished(20000)) return {};
    return zbar.readAllStandardOutput().trimmed().toStdString();
}

} // namespace tovrel::test
