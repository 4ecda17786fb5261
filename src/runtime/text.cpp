#include "runtime/text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tovrel {

Text toGbk(QStringView text) {
    QStringEncoder encoder("GB18030");
    const QByteArray bytes = encoder.encode(text);
    return Text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString fromGbk(std::string_view gbk) {
    QStringDecoder decoder("GB18030");
    return decoder.decode(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
}

Text operator""_gbk(const char* utf8, std::size_t size) {
    return toGbk(QString::fromUtf8(utf8, static_cast<qsizetype>(size)));
}

} // namespace tovrel
