#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovrel {

// A text of the program's logic: GBK bytes (encoded as GB18030 so that every character round-trips).
using Text = std::string;

// A counted buffer of bytes: an HTTP body, a picture file.
using Bytes = std::vector<std::uint8_t>;

// Conversions at the edges only: widgets, clipboard, file names.
Text toGbk(QStringView text);
QString fromGbk(std::string_view gbk);

// UTF-8 source literal to GBK: "\r\n已粘贴长链接"_gbk.
Text operator""_gbk(const char* utf8, std::size_t size);

} // namespace tovrel
