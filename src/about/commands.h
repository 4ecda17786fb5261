#pragma once

namespace tovrel {

class App;

inline constexpr const char* versionText = "1.0";
// A plain text file holding the newest version, next to the downloads.
inline constexpr const char* announcementAddress = "https://pan.tovfile.com/tovrel/version.txt";
inline constexpr const char* downloadPage = "https://pan.tovfile.com/b0djjxmsf";

// Start-up: the announcement text into 编辑框3; empty when it cannot be had.
void prepareAnnouncementText(App& app);

void onUpdateCheck(App& app);
void onAbout(App& app);

} // namespace tovrel
