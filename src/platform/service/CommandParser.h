#pragma once

#include "platform/mci/MciDevice.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The command-string grammar: `verb device [items]`, case-insensitive, blanks folded,
// double quotes around an item that holds blanks. The parser knows words, not devices:
// it turns text into requests and leaves the meaning of values to the device.
namespace vorlo::platform {

// The verb and device of a command, and the items still to be read. Item views point into
// the command text, which must outlive them.
struct CommandHead {
    bool isOpen = false;
    MciVerb verb = MciVerb::Status;       // meaningful when !isOpen
    std::string device;                   // lower case
    std::string_view deviceText;          // as written (an element's file name keeps its case)
    std::vector<std::string_view> items;  // quotes removed, case kept
};

// Splits a command. Errors: missing command string, unrecognized command, missing device
// name, no closing quote. Pure; any thread.
MciError ParseHead(std::string_view command, CommandHead& head);

// Reads the items of an "open" command. Errors: unrecognized keyword, missing string
// argument, device type required, "new" requires an alias.
MciError ParseOpen(const CommandHead& head, MciOpenRequest& request);

// Reads the items of any other verb into a request. Errors: unrecognized keyword, missing
// parameter, bad integer, bad constant, duplicate flags, flags not compatible, file name
// required.
MciError ParseRequest(const CommandHead& head, MciRequest& request);

// A time value: decimal digits, or up to four colon-separated fields of 0..255 packed one
// byte per field, lowest field first. Empty on anything else, or beyond 32 bits.
std::optional<std::uint32_t> ParseTimeValue(std::string_view text);

} // namespace vorlo::platform
