#pragma once

#include <functional>

namespace tovrel {

// Runs work on a worker thread while this thread waits in a local event loop that keeps windows
// painting but holds user input back until the work is done, under a busy cursor. Without an
// application object the work simply runs here.
void runWaiting(const std::function<void()>& work);

} // namespace tovrel
