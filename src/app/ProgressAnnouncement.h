#pragma once

#include <chrono>
#include <optional>

// What assistive technology hears of the disc's progress: a whole percentage, and when a
// change of it is worth announcing.
namespace vorlo::app {

// The part of the media played, in whole percent from 0 to 100: the ratio of position to
// length, rounded down, so that 100 means the end has been reached. Nothing (no length),
// NaN and negative ratios give 0; ratios above 1 give 100. Throws nothing.
int WholePercentPlayed(std::optional<float> ratio);

// Decides which changes of a percentage are announced: a value that differs from the one
// last announced, and no sooner than kMinGap after the last announcement. A change held
// back is announced by a later offer once the gap has passed, so the last value is not
// lost when offers keep coming (the display offers one every tick). The value starts at
// 0, taken as already known. Not thread-safe; UI thread only; throws nothing.
class PercentAnnouncer {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kMinGap{1000};

    // Takes the latest value; true when it is to be announced now.
    bool Offer(int percent, Clock::time_point now);

private:
    int announced_ = 0;
    std::optional<Clock::time_point> lastAnnouncement_;
};

} // namespace vorlo::app
