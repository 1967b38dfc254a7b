#pragma once

#include <sndfile.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vorlo::test {

// A fresh folder, removed with everything in it at the end of the scope.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorlo-wave.XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& Path() const { return path_; }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    std::filesystem::path path_;
};

// Sets (or, with nullopt, unsets) an environment variable for the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name)
    {
        if (const char* old = getenv(name))
            old_ = old;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// What a WAV file on disk holds, as libsndfile reads it; format 0 when it cannot.
struct WavContents {
    SF_INFO info{};
    std::vector<double> samples;
};

inline WavContents ReadWav(const std::filesystem::path& path)
{
    WavContents wav;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &wav.info);
    if (!file)
        return {};
    wav.samples.resize(static_cast<std::size_t>(wav.info.frames * wav.info.channels));
    sf_readf_double(file, wav.samples.data(), wav.info.frames);
    sf_close(file);
    return wav;
}

inline constexpr int kWav8BitPcm = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;

} // namespace vorlo::test
