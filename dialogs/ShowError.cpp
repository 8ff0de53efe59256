#include "dialogs/ShowError.h"

#include "messages/ErrorCodes.h"
#include "platform/Platform.h"

namespace kelbo {

void ShowError(Platform& platform, QWidget* parent, int code) {
    platform.beep();
    platform.messageBox(parent, QString::fromStdString(errorMessage(code)),
                        QString::fromStdString(errorTitle(code)), Platform::BoxIcon::Stop,
                        Platform::BoxButtons::Ok);
}

} // namespace kelbo
