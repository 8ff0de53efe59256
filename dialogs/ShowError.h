// Reports an input error: one beep, then a modal box with the stop icon.
#pragma once

class QWidget;

namespace kelbo {

class Platform;

void ShowError(Platform& platform, QWidget* parent, int code);

} // namespace kelbo
