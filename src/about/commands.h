#pragma once

namespace tovrel {

class App;

// Start-up: the announcement text into 编辑框3.
void prepareAnnouncementText(App& app);

void onUpdateCheck(App& app);
void onAbout(App& app);

} // namespace tovrel
