#pragma once

#include "FakeEngine.h"
#include "platform/cdaudio/CdAudioDevice.h"
#include "platform/service/MciService.h"
#include "support/TestDisc.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>

namespace vorlo::test {

// A scratch folder for one test, removed afterwards.
class ScratchDir {
public:
    ScratchDir()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (char& c : name)
            if (c == '/')
                c = '_';
        path_ = std::filesystem::temp_directory_path() / ("vorlo-" + name + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A service whose "open cdaudio" opens `disc` as an image and plays through a FakeEngine.
class ServiceOnDisc {
public:
    explicit ServiceOnDisc(std::string imagePath, platform::CdAudioParts parts = {},
                           platform::DiscLocation::Kind kind = platform::DiscLocation::Kind::Image)
        : engine(std::make_shared<FakeEngineState>()),
          service([this, imagePath = std::move(imagePath), parts, kind](const platform::MciOpenRequest&,
                                                                         platform::MciError& error, std::string& why) {
              platform::CdAudioParts with = parts;
              with.createEngine = [state = engine] { return std::make_unique<FakeEngine>(state); };
              return std::unique_ptr<platform::MciDevice>(
                  platform::CdAudioDevice::Open({kind, imagePath}, with, error, why));
          })
    {
    }

    // Sends a command; returns "ERROR\tREPLY", the way vorlo-mci prints it.
    std::string Send(const std::string& command, std::uint32_t capacity = 128)
    {
        std::string reply(capacity + 1, '#');
        const platform::MciError error = service.SendString(command.c_str(), reply.data(), capacity);
        return std::to_string(error) + "\t" + (capacity ? std::string(reply.c_str()) : std::string());
    }

    std::shared_ptr<FakeEngineState> engine;
    platform::MciService service;
};

} // namespace vorlo::test
