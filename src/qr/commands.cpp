#include "qr/commands.h"

#include "app/app.h"

namespace tovrel {

void onQrTypeBox(App&, int) {}
void onGenerate(App&) {}
void onExport(App&) {}
void showDefaultQrPicture(App&) {}

} // namespace tovrel
