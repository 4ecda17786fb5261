#pragma once

#include "runtime/http.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace tovrel {

class MessagePresenter;

// Everything that reaches the outside world, handed in once at start-up.
struct Platform {
    HttpOptions http;
    MessagePresenter* messages = nullptr;
    std::function<QDateTime()> clock;            // local date and time
    std::function<QString()> desktopFolder;      // empty when the system cannot tell
    std::function<void(const QString&)> openUrl; // the default browser
};

// The production platform: QMessageBox, the system clock, the XDG desktop, xdg-open.
Platform systemPlatform(MessagePresenter& messages);

} // namespace tovrel
