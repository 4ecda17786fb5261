#pragma once

#include <string_view>

namespace tovrel {

class App;

// A text passes when it starts with "http://" or "https://", ASCII letters in any case.
bool passesSchemeTest(std::string_view text);

// Service box 选择框n (1..21) was clicked.
void onServiceBox(App& app, int number);

void onPaste(App& app);
void onShorten(App& app);
void onCopy(App& app);

} // namespace tovrel
