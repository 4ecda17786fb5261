#pragma once

#include "runtime/text.h"

#include <string>

namespace tovrel::test {

// What a QR picture says, read by zbarimg; empty when nothing could be read.
std::string decodeQr(const Bytes& picture);

} // namespace tovrel::test
