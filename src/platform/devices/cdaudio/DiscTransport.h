#pragma once

#include "platform/audio/PlaybackEngine.h"
#include "platform/audio/SectorSource.h"
#include "platform/disc/DiscToc.h"
#include "platform/mci/MciDevice.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace vorlo::platform {

// The transport of the cdaudio device: which part of the disc plays, where it stands, and
// the playback engine that plays it.
//
// States and what each command does in them:
//   NoDisc   Load → Stopped at the first audio track. Play and Seek fail (kDeviceNotReady);
//            Pause, Resume and Stop do nothing.
//   Stopped  Play → Playing (→ Stopped when the span is empty; → NoDisc when the span can
//            no longer be read). Seek moves the position. Pause, Resume and Stop do nothing.
//   Playing  Pause → Paused; Stop, Seek → Stopped where play was heard; Play as in Stopped;
//            an engine that stopped by itself → Stopped at the last sector heard (Sync).
//   Paused   Resume → Playing; otherwise as Playing.
//   Any      Unload → NoDisc, play stopped.
// Whenever the position comes to rest somewhere new (Load, Seek, Stop of a play), the source
// is told, so that a drive can read ahead of the play that is likely to follow: at once
// after a Load, after a short rest otherwise.
// A Play or Seek with a value the disc cannot hold fails with kOutOfRange and changes nothing.
//
// Threads: not thread-safe. The device calls it with its lock held, from a command or from
// the worker that brings a disc in. Every call returns promptly: the engine never waits for
// the drive. Owns the engine (made at the first play) and its share of the sector source.
// Never throws but for std::bad_alloc.
class DiscTransport {
public:
    enum class State { NoDisc, Stopped, Playing, Paused };
    using EngineFactory = std::function<std::unique_ptr<PlaybackEngine>()>;
    // Whether the audio sectors [firstLsn, endLsn) can still be read; asked before a play.
    using SpanCheck = std::function<bool(std::int32_t firstLsn, std::int32_t endLsn)>;

    explicit DiscTransport(EngineFactory createEngine) : createEngine_(std::move(createEngine)) {}
    DiscTransport(const DiscTransport&) = delete;
    DiscTransport& operator=(const DiscTransport&) = delete;

    // Takes a disc with tracks; the engine reads its sectors from `source`.
    void Load(DiscToc toc, std::shared_ptr<SectorSource> source);
    void Unload();

    // From `from` (default: where the position stands; at the end of the audio, the first
    // audio track) to `to` (default: the next data track or the lead-out), both raw values
    // in `format`. Play starts in the first audio track at or after `from`: kHardware when
    // there is none, or when there is no engine or sound server.
    MciError Play(std::optional<std::uint32_t> from, std::optional<std::uint32_t> to, TimeFormat format,
                  const SpanCheck& readable);
    // To the first audio track, the lead-out, or `raw` in `format`.
    MciError Seek(SeekTarget target, std::uint32_t raw, TimeFormat format);
    void Pause();
    void Resume();
    void Stop();
    // Notices a play that ended by itself (end of span, failed read, lost server).
    void Sync();

    State CurrentState() const { return state_; }
    // Where play is heard, or stands while stopped. Meaningful with a disc.
    std::int32_t Position() const;
    // The disc's TOC; empty in NoDisc.
    const DiscToc& Toc() const { return toc_; }

    // Stops play and hands the engine and the source to the Retirer, whose teardown may wait
    // on a read in progress: → NoDisc, and no engine is made again.
    void Retire();

private:
    std::int32_t Clamp(std::int32_t lsn) const;
    void StopEngine();
    // Tells the source where a play would start now, so that a drive reads ahead of it
    // once the position has rested for `settle`.
    void CueUp(std::chrono::milliseconds settle);

    EngineFactory createEngine_;
    State state_ = State::NoDisc;
    DiscToc toc_;
    // Shared with the engine's reader, so that neither Stop nor Play waits on a drive read.
    std::shared_ptr<SectorSource> source_;
    std::unique_ptr<PlaybackEngine> engine_;
    std::int32_t positionLsn_ = 0; // while stopped
    std::int32_t playFrom_ = 0;    // the span that plays, while playing or paused
    std::int32_t playEnd_ = 0;
};

} // namespace vorlo::platform
