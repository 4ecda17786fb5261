#pragma once

#include "app/platform.h"
#include "support/recording_presenter.h"

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>

namespace tovrel::test {

// The outside world as the tests see it: recorded message boxes and opened addresses, a clock that
// says what the test wants, a desktop folder of its own.
struct TestWorld {
    RecordingPresenter messages;
    QDateTime now{QDate(2019, 11, 1), QTime(9, 5, 7)};
    QTemporaryDir desktop;
    QString desktopOverride; // when set, the desktop folder reported instead of the temporary one
    QStringList opened;
    HttpOptions http;

    Platform platform();
};

} // namespace tovrel::test
