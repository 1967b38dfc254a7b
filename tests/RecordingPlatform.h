#pragma once

#include "media/MediaPlatform.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorlo::test {

// A media platform that records every call and answers from a script. A command with a
// scripted reply succeeds with it; any other command fails the way the service fails: an
// emptied reply and a nonzero error. Every call goes into one log, so tests can check the
// whole order: command strings as they are, the other calls as "deviceid NAME",
// "command ID MESSAGE FLAGS", "playsound FILE FLAGS", "wavegetvolume ID",
// "wavesetvolume ID WORD" (midi likewise) and "remove FILE". By default a sound does not
// play, volume reads fail and no file exists.
class RecordingPlatform : public media::MediaPlatform {
public:
    void ReplyTo(const std::string& command, std::string reply) { replies_[command] = std::move(reply); }
    void SetDeviceId(const std::string& name, std::uint32_t id) { deviceIds_[name] = id; }
    void SetPlaySoundResult(std::int32_t result) { playSoundResult_ = result; }
    // Makes volume reads succeed with this word; writes then change it.
    void SetWaveVolume(std::uint32_t word) { wave_ = word; }
    void SetMidiVolume(std::uint32_t word) { midi_ = word; }

    const std::vector<std::string>& Log() const { return log_; }
    const std::vector<std::uint32_t>& Capacities() const { return capacities_; }
    void ClearLog() { log_.clear(); capacities_.clear(); }

    std::uint32_t SendString(std::string_view command, char* reply, std::uint32_t capacity) override
    {
        log_.emplace_back(command);
        capacities_.push_back(capacity);
        const auto scripted = replies_.find(std::string(command));
        const std::string text = scripted == replies_.end() ? "" : scripted->second;
        const std::size_t n = std::min<std::size_t>(text.size(), capacity - 1);
        std::memcpy(reply, text.data(), n);
        reply[n] = '\0';
        return scripted == replies_.end() ? kNotOpen : 0;
    }
    std::uint32_t GetDeviceId(std::string_view name) override
    {
        log_.push_back("deviceid " + std::string(name));
        const auto id = deviceIds_.find(std::string(name));
        return id == deviceIds_.end() ? 0 : id->second;
    }
    std::uint32_t SendCommand(std::uint32_t deviceId, std::uint32_t message, std::uintptr_t flags, void*) override
    {
        log_.push_back("command " + std::to_string(deviceId) + ' ' + std::to_string(message) + ' ' +
                       std::to_string(flags));
        return deviceId == 0 ? kInvalidDeviceId : 0;
    }
    std::int32_t PlaySound(std::string_view file, std::uint32_t flags) override
    {
        log_.push_back("playsound " + std::string(file) + ' ' + std::to_string(flags));
        return playSoundResult_;
    }
    std::uint32_t GetWaveVolume(std::uint32_t id, std::uint32_t* out) override { return Get("wave", id, wave_, out); }
    std::uint32_t SetWaveVolume(std::uint32_t id, std::uint32_t word) override { return Set("wave", id, wave_, word); }
    std::uint32_t GetMidiVolume(std::uint32_t id, std::uint32_t* out) override { return Get("midi", id, midi_, out); }
    std::uint32_t SetMidiVolume(std::uint32_t id, std::uint32_t word) override { return Set("midi", id, midi_, word); }
    bool RemoveFile(std::string_view drivePath) override
    {
        log_.push_back("remove " + std::string(drivePath));
        return false;
    }

private:
    static constexpr std::uint32_t kNotOpen = 263;
    static constexpr std::uint32_t kInvalidDeviceId = 257;

    using Volume = std::optional<std::uint32_t>;
    std::uint32_t Get(const std::string& device, std::uint32_t id, Volume word, std::uint32_t* out)
    {
        log_.push_back(device + "getvolume " + std::to_string(id));
        if (!word)
            return media::kMmBadDeviceId;
        *out = *word;
        return 0;
    }
    std::uint32_t Set(const std::string& device, std::uint32_t id, Volume& word, std::uint32_t value)
    {
        log_.push_back(device + "setvolume " + std::to_string(id) + ' ' + std::to_string(value));
        word = value;
        return 0;
    }

    std::int32_t playSoundResult_ = 0;
    Volume wave_;
    Volume midi_;
    std::map<std::string, std::string> replies_;
    std::map<std::string, std::uint32_t> deviceIds_;
    std::vector<std::string> log_;
    std::vector<std::uint32_t> capacities_;
};

} // namespace vorlo::test
