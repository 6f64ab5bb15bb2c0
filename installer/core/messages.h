// Everything the installer says to the user: text, caption and message-box type of each message.
#pragma once

#include <string>

namespace vellora::installer {

enum class Message {
    SaveFailure,         // the module could not be written
    UpgradeQuestion,     // an older (or unversioned) copy is installed
    ReinstallQuestion,   // the same or a newer copy is installed
    InUse,               // the installed copy could not be deleted
    UninstallNotSaved,   // the uninstall entry could not be written
    Completed,           // the end of every run that placed the module
};

// Message-box types, as the system numbers them.
constexpr unsigned kBoxOk = 0x00;
constexpr unsigned kBoxYesNoCancel = 0x03;
constexpr unsigned kBoxIconWarning = 0x30;
constexpr unsigned kBoxIconInformation = 0x40;

struct MessageText {
    const char* format;   // "%s" stands for the display name
    const char* caption;
    unsigned type;
};

const MessageText& TextOf(Message message);
// The text with the display name put in.
std::string MessageBody(Message message, const std::string& displayName);

}  // namespace vellora::installer
