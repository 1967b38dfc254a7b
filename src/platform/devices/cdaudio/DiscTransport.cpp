#include "platform/devices/cdaudio/DiscTransport.h"

#include "platform/devices/cdaudio/CdTimeFormats.h"
#include "platform/devices/cdaudio/PlayErrors.h"
#include "platform/devices/cdaudio/Retirer.h"
#include "platform/mci/MciErrors.h"

#include <algorithm>

namespace vorlo::platform {

namespace {

// A disc just read in is read ahead of its first track at once: a play usually follows.
// After a seek or a stop it is read ahead once the position has rested this long: while
// tracks are stepped through, or a play is chosen elsewhere, the drive is left alone.
constexpr std::chrono::milliseconds kSettle{500};

} // namespace

void DiscTransport::Load(DiscToc toc, std::shared_ptr<SectorSource> source)
{
    StopEngine();
    toc_ = std::move(toc);
    source_ = std::move(source);
    positionLsn_ = toc_.StartLsn();
    state_ = State::Stopped;
    CueUp(std::chrono::milliseconds{0});
}

void DiscTransport::Unload()
{
    StopEngine();
    toc_ = {};
    source_.reset();
    state_ = State::NoDisc;
}

std::int32_t DiscTransport::Clamp(std::int32_t lsn) const
{
    return std::clamp(lsn, playFrom_, std::max(playFrom_, playEnd_));
}

std::int32_t DiscTransport::Position() const
{
    return state_ == State::Playing || state_ == State::Paused ? Clamp(engine_->HeardLsn()) : positionLsn_;
}

void DiscTransport::StopEngine()
{
    if (state_ == State::Playing || state_ == State::Paused) {
        positionLsn_ = Position();
        engine_->Stop();
        state_ = State::Stopped;
    }
}

void DiscTransport::CueUp(std::chrono::milliseconds settle)
{
    if (source_)
        source_->CueUp(toc_.AudioStartFrom(positionLsn_).value_or(positionLsn_), settle);
}

void DiscTransport::Sync()
{
    if ((state_ == State::Playing || state_ == State::Paused) &&
        engine_->CurrentState() == PlaybackEngine::State::Stopped) {
        positionLsn_ = Clamp(engine_->HeardLsn());
        state_ = State::Stopped;
    }
}

MciError DiscTransport::Play(std::optional<std::uint32_t> from, std::optional<std::uint32_t> to,
                             TimeFormat format, const SpanCheck& readable)
{
    if (state_ == State::NoDisc)
        return mcierr::kDeviceNotReady;
    std::int64_t fromLsn = Position();
    if (from) {
        const auto sector = cdtime::ParseTime(format, *from, toc_);
        if (!sector)
            return mcierr::kOutOfRange;
        fromLsn = cdtime::LsnOf(*sector);
        if (fromLsn < toc_.tracks.front().startLsn || fromLsn >= toc_.leadOutLsn)
            return mcierr::kOutOfRange;
    }
    std::optional<std::int64_t> toLsn;
    if (to) {
        const auto sector = cdtime::ParseTime(format, *to, toc_);
        if (!sector)
            return mcierr::kOutOfRange;
        toLsn = cdtime::LsnOf(*sector);
        if (*toLsn > toc_.leadOutLsn || *toLsn < fromLsn)
            return mcierr::kOutOfRange;
    }
    auto start = toc_.AudioStartFrom(static_cast<std::int32_t>(fromLsn));
    if (!start && !from)
        start = toc_.FirstAudioStart(); // at the end of the audio: start over
    if (!start)
        return mcierr::kHardware;       // nothing but data from here on
    std::int32_t end = toc_.AudioEndAfter(*start);
    if (toLsn)
        end = static_cast<std::int32_t>(std::min<std::int64_t>(end, *toLsn));
    StopEngine();
    if (end <= *start) {
        positionLsn_ = *start;
        return mcierr::kNone;
    }
    if (readable && !readable(*start, end)) {
        Unload();
        return mcierr::kDeviceNotReady;
    }
    if (!source_)
        return mcierr::kHardware;
    if (!engine_ && createEngine_)
        engine_ = createEngine_();
    if (!engine_)
        return mcierr::kHardware;
    if (const MciError error = MciErrorOf(engine_->Play(source_, *start, end)))
        return error;
    playFrom_ = *start;
    playEnd_ = end;
    state_ = State::Playing;
    return mcierr::kNone;
}

MciError DiscTransport::Seek(SeekTarget target, std::uint32_t raw, TimeFormat format)
{
    if (state_ == State::NoDisc)
        return mcierr::kDeviceNotReady;
    std::int64_t lsn = 0;
    switch (target) {
    case SeekTarget::Start: lsn = toc_.StartLsn(); break;
    case SeekTarget::End: lsn = toc_.leadOutLsn; break;
    case SeekTarget::Position: {
        const auto sector = cdtime::ParseTime(format, raw, toc_);
        if (!sector)
            return mcierr::kOutOfRange;
        lsn = cdtime::LsnOf(*sector);
        if (lsn < toc_.tracks.front().startLsn || lsn > toc_.leadOutLsn)
            return mcierr::kOutOfRange;
        break;
    }
    }
    StopEngine();
    positionLsn_ = static_cast<std::int32_t>(lsn);
    CueUp(kSettle);
    return mcierr::kNone;
}

void DiscTransport::Pause()
{
    if (state_ == State::Playing) {
        engine_->Pause();
        state_ = State::Paused;
    }
}

void DiscTransport::Resume()
{
    if (state_ == State::Paused) {
        engine_->Resume();
        state_ = State::Playing;
    }
}

void DiscTransport::Stop()
{
    const bool wasPlaying = state_ == State::Playing || state_ == State::Paused;
    StopEngine();
    if (wasPlaying)
        CueUp(kSettle);
}

void DiscTransport::Retire()
{
    StopEngine();
    createEngine_ = nullptr;
    Retirer::Instance().Run([engine = std::shared_ptr<PlaybackEngine>(std::move(engine_)),
                             source = std::move(source_)]() mutable {
        engine.reset();
        source.reset();
    });
    toc_ = {};
    state_ = State::NoDisc;
}

} // namespace vorlo::platform
