#pragma once

#include "media/ReplyBuffer.h"

#include <string_view>

namespace vorlo::media {

// Sends one command string through the bound platform with the buffer as its 128-byte
// reply area, and leaves the area as the platform left it. The platform's error number
// is deliberately dropped: callers read only the reply.
void SendMediaCommand(std::string_view command, ReplyBuffer& buffer);

// The value of the number that leads the reply, 0 when there is none.
//
// Blanks (space, tab, line feed) are skipped wherever they stand before or inside the
// number. The number is an optional sign, digits with at most one decimal point, and an
// optional exponent (E or D, optional sign, digits); or &H / &O and a hexadecimal or
// octal integer. Reading stops at the first character that cannot continue the number,
// which includes the NUL that ends the reply, a colon and any letter. A value beyond
// double range reads as an infinity; callers that convert it must check.
double ReplyValue(const ReplyBuffer& buffer);

// The same rule over any text; ReplyValue applies it to the reply area.
double LeadingNumber(std::string_view text);

} // namespace vorlo::media
