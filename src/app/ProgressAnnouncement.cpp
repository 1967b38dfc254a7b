#include "app/ProgressAnnouncement.h"

#include <algorithm>
#include <cmath>

namespace vorlo::app {

namespace {
constexpr double kPercent = 100.0;
// A ratio held in single precision may fall a hair short of the whole percent it stands
// for (29000 / 100000 is 0.28999999 as a float); far less than this is lost that way.
constexpr double kSinglePrecisionSlack = 1e-4;
} // namespace

int WholePercentPlayed(std::optional<float> ratio)
{
    if (!ratio || !(*ratio > 0.0f))
        return 0;
    const double percent = std::min(static_cast<double>(*ratio), 1.0) * kPercent;
    return static_cast<int>(std::floor(percent + kSinglePrecisionSlack));
}

bool PercentAnnouncer::Offer(int percent, Clock::time_point now)
{
    if (percent == announced_)
        return false;
    if (lastAnnouncement_ && now - *lastAnnouncement_ < kMinGap)
        return false;
    announced_ = percent;
    lastAnnouncement_ = now;
    return true;
}

} // namespace vorlo::app
