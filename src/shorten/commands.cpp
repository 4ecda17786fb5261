#include "shorten/commands.h"

#include "app/app.h"

namespace tovrel {

bool passesSchemeTest(std::string_view) { return false; }

void onServiceBox(App&, int) {}
void onPaste(App&) {}
void onShorten(App&) {}
void onCopy(App&) {}

} // namespace tovrel
