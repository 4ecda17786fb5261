#pragma once

#include "runtime/text.h"

#include <QDateTime>

#include <string_view>

namespace tovrel {

// What the default QR picture encodes, and where QR pictures are asked for.
inline constexpr std::string_view defaultQrText = "https://www.tovrel.net/";
inline constexpr std::string_view qrServicePrefix = "https://qr.tovrel.net/user/a/wvideo/getQRCode.do?text=";

// The QR image service's address for a text, the text as a query value.
Text qrRequestAddress(std::string_view text);

// The QR code of a text made here: medium error correction, a quiet zone of 4 modules, PNG of at
// least 175 x 175 pixels. Empty when the text cannot be encoded.
Bytes renderQrPng(std::string_view text);

// "2019年11月1日9时5分7秒": no leading zeros, the time shortened from the right, nothing at midnight.
Text exportTimeStamp(const QDateTime& when);

} // namespace tovrel
