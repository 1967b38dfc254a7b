#pragma once

#include "media/MediaPlatform.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vorlo::test {

// A media platform that records every call and answers from a script. A command with a
// scripted reply succeeds with it (a queue of replies is consumed in order, the last one
// repeating); any other command fails the way the service fails: an emptied reply and a
// nonzero error. Device-id lookups and command messages are recorded in the same log as
// "deviceid NAME" and "command ID MESSAGE FLAGS", so tests can check the whole order.
// The sound calls are logged too: "playsound FILE FLAGS", "wavegetvolume ID",
// "wavesetvolume ID WORD", "midigetvolume ID", "midisetvolume ID WORD" and "remove FILE".
// Their answers are scripted below; by default a sound does not play, volume reads fail
// and no file exists.
class RecordingPlatform final : public media::MediaPlatform {
public:
    static constexpr std::uint32_t kNotOpen = 263;

    void ReplyTo(const std::string& command, std::string reply) { replies_[command] = {std::move(reply)}; }
    void ReplyTo(const std::string& command, std::deque<std::string> replies) { replies_[command] = std::move(replies); }
    void Forget(const std::string& command) { replies_.erase(command); }
    void SetDeviceId(const std::string& name, std::uint32_t id) { deviceIds_[name] = id; }

    // The result of every PlaySound call.
    void SetPlaySoundResult(std::int32_t result) { playSoundResult_ = result; }
    // Makes volume reads succeed with this word; writes then change it.
    void SetWaveVolume(std::uint32_t word) { waveVolume_ = word; }
    void SetMidiVolume(std::uint32_t word) { midiVolume_ = word; }
    // A file that RemoveFile can delete (once).
    void AddFile(const std::string& drivePath) { files_.insert(drivePath); }
    bool HasFile(const std::string& drivePath) const { return files_.count(drivePath) != 0; }
    // The word of the last volume write, if any.
    std::optional<std::uint32_t> WrittenWaveVolume() const { return writtenWave_; }
    std::optional<std::uint32_t> WrittenMidiVolume() const { return writtenMidi_; }

    const std::vector<std::string>& Log() const { return log_; }
    // The command strings alone, without lookups and messages.
    std::vector<std::string> Commands() const
    {
        std::vector<std::string> only;
        std::copy_if(log_.begin(), log_.end(), std::back_inserter(only),
                     [](const std::string& entry) { return !IsCallEntry(entry); });
        return only;
    }
    const std::vector<std::uint32_t>& Capacities() const { return capacities_; }
    void ClearLog() { log_.clear(); capacities_.clear(); }

    std::uint32_t SendString(std::string_view command, char* reply, std::uint32_t capacity) override
    {
        log_.emplace_back(command);
        capacities_.push_back(capacity);
        const auto scripted = replies_.find(std::string(command));
        if (scripted == replies_.end()) {
            if (capacity > 0)
                reply[0] = '\0';
            return kNotOpen;
        }
        std::deque<std::string>& queue = scripted->second;
        const std::string text = queue.front();
        if (queue.size() > 1)
            queue.pop_front();
        const std::size_t n = std::min<std::size_t>(text.size(), capacity - 1);
        std::memcpy(reply, text.data(), n);
        reply[n] = '\0';
        return 0;
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
        return deviceId == 0 ? 257 : 0;
    }

    std::int32_t PlaySound(std::string_view file, std::uint32_t flags) override
    {
        log_.push_back("playsound " + std::string(file) + ' ' + std::to_string(flags));
        return playSoundResult_;
    }
    std::uint32_t GetWaveVolume(std::uint32_t deviceId, std::uint32_t* volume) override
    {
        log_.push_back("wavegetvolume " + std::to_string(deviceId));
        return ReadVolume(waveVolume_, volume);
    }
    std::uint32_t SetWaveVolume(std::uint32_t deviceId, std::uint32_t volume) override
    {
        log_.push_back("wavesetvolume " + std::to_string(deviceId) + ' ' + std::to_string(volume));
        writtenWave_ = waveVolume_ = volume;
        return 0;
    }
    std::uint32_t GetMidiVolume(std::uint32_t deviceId, std::uint32_t* volume) override
    {
        log_.push_back("midigetvolume " + std::to_string(deviceId));
        return ReadVolume(midiVolume_, volume);
    }
    std::uint32_t SetMidiVolume(std::uint32_t deviceId, std::uint32_t volume) override
    {
        log_.push_back("midisetvolume " + std::to_string(deviceId) + ' ' + std::to_string(volume));
        writtenMidi_ = midiVolume_ = volume;
        return 0;
    }
    bool RemoveFile(std::string_view drivePath) override
    {
        log_.push_back("remove " + std::string(drivePath));
        return files_.erase(std::string(drivePath)) != 0;
    }

private:
    static constexpr std::uint32_t kBadDevice = 2;

    static bool IsCallEntry(const std::string& entry)
    {
        for (const char* prefix : {"deviceid ", "command ", "playsound ", "wavegetvolume ", "wavesetvolume ",
                                   "midigetvolume ", "midisetvolume ", "remove "})
            if (entry.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
    static std::uint32_t ReadVolume(const std::optional<std::uint32_t>& word, std::uint32_t* volume)
    {
        if (!word)
            return kBadDevice;
        *volume = *word;
        return 0;
    }

    std::int32_t playSoundResult_ = 0;
    std::optional<std::uint32_t> waveVolume_;
    std::optional<std::uint32_t> midiVolume_;
    std::optional<std::uint32_t> writtenWave_;
    std::optional<std::uint32_t> writtenMidi_;
    std::set<std::string> files_;
    std::map<std::string, std::deque<std::string>> replies_;
    std::map<std::string, std::uint32_t> deviceIds_;
    std::vector<std::string> log_;
    std::vector<std::uint32_t> capacities_;
};

} // namespace vorlo::test
