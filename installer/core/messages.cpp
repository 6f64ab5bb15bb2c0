#include "installer/core/messages.h"

namespace vellora::installer {

const MessageText& TextOf(Message message) {
    static const MessageText texts[] = {
        {"Could not save the screensaver to file.", "Install Error", kBoxOk | kBoxIconWarning},
        {"You have an out-of-date version of %s on your system.  Do you want to upgrade?", "Install",
         kBoxYesNoCancel},
        {"You have an up-to-date version installed.  Do you still want to install?", "Notice",
         kBoxYesNoCancel | kBoxIconInformation},
        {"Error. Unable to delete old version of %s. Make sure it is not in use, and then try again.",
         "Install Error", kBoxOk | kBoxIconWarning},
        {"Uninstall information could not be saved for this screensaver.", "Notice",
         kBoxOk | kBoxIconInformation},
        {"Installation completed!", "Notice", kBoxOk | kBoxIconInformation},
    };
    return texts[static_cast<int>(message)];
}

std::string MessageBody(Message message, const std::string& displayName) {
    const std::string format = TextOf(message).format;
    const std::string::size_type at = format.find("%s");
    if (at == std::string::npos) return format;
    return format.substr(0, at) + displayName + format.substr(at + 2);
}

}  // namespace vellora::installer
