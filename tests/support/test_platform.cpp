#include "support/test_platform.h"

namespace tovrel::test {

Platform TestWorld::platform() {
    Platform platform;
    platform.http = http;
    platform.messages = &messages;
    platform.clock = [this] { return now; };
    platform.desktopFolder = [this] { return desktopOverride.isNull() ? desktop.path() : desktopOverride; };
    platform.openUrl = [this](const QString& address) { opened.push_back(address); };
    return platform;
}

} // namespace tovrel::test
