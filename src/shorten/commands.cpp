#include "shorten/commands.h"

#include "app/app.h"

namespace tovrel {

bool passesSchemeTest(std::string_view text) {
    // Lowering ASCII capitals byte by byte is safe for GBK: a double-byte character's lead byte is above
    // 0x80 and already fails the comparison before its second byte is looked at.
    auto startsWith = [&](std::string_view scheme) {
        if (text.size() < scheme.size()) return false;
        for (std::size_t i = 0; i < scheme.size(); ++i) {
            char c = text[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != scheme[i]) return false;
        }
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

void onServiceBox(App&, int) {}
void onPaste(App&) {}
void onShorten(App&) {}
void onCopy(App&) {}

} // namespace tovrel
