#pragma once

namespace tovrel {

class App;

// QR type box 选择框n (22..25) was clicked.
void onQrTypeBox(App& app, int number);

void onGenerate(App& app);
void onExport(App& app);

// Start-up: the default QR picture into 二维码图片框.
void showDefaultQrPicture(App& app);

} // namespace tovrel
