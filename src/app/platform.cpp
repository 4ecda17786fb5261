#include "app/platform.h"

#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

namespace tovrel {

Platform systemPlatform(MessagePresenter& messages) {
    Platform platform;
    platform.messages = &messages;
    platform.clock = [] { return QDateTime::currentDateTime(); };
    platform.desktopFolder = [] { return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation); };
    platform.openUrl = [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); };
    return platform;
}

} // namespace tovrel
