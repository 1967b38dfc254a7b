// Feeds arbitrary bytes through ReplyValue as a 128-byte reply area: short inputs are
// padded with blanks as a fresh buffer would be, long ones cut at the area's size.
#include "media/MediaChannel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vorlo::media::ReplyBuffer buffer;
    std::memcpy(buffer.data(), data, std::min(size, vorlo::media::ReplyBuffer::kCapacity));
    const double value = vorlo::media::ReplyValue(buffer);
    // The value is a number or an infinity, never a NaN.
    if (std::isnan(value))
        std::abort();
    return 0;
}
