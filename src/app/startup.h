#pragma once

#include "app/platform.h"

#include <memory>

namespace tovrel {

class App;

// Creates the main window hidden, runs its window-created handler, then shows it centred.
std::unique_ptr<App> startApp(Platform platform);

// The window-created handler: announcement, default QR picture, welcome line.
void onWindowCreated(App& app);

} // namespace tovrel
