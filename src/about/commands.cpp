#include "about/commands.h"

#include "app/app.h"

namespace tovrel {

void prepareAnnouncementText(App&) {}
void onUpdateCheck(App&) {}
void onAbout(App&) {}

} // namespace tovrel
