#include "platform/devices/wave/WavSave.h"

#include "platform/lib/sndfile/SndFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

namespace vorlo::platform {
namespace {

constexpr int kNameAttempts = 100;
constexpr mode_t kNewFileMode = 0666; // narrowed by the umask, as for any new file

[[noreturn]] void ThrowErrno(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

// A new file beside the target that is removed again unless it is committed by renaming
// it over the target.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& target) : target_(target)
    {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < kNameAttempts && descriptor_ < 0; ++attempt) {
            path_ = target;
            std::string name = target.filename().string();
            name.insert(name.begin(), '.');
            name += '.' + std::to_string(getpid()) + '.' + std::to_string(counter++) + ".tmp";
            path_.replace_filename(name);
            descriptor_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
            if (descriptor_ < 0 && errno != EEXIST)
                break;
        }
        if (descriptor_ < 0)
            ThrowErrno("cannot create a file beside " + target.string());
    }

    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    ~TemporaryFile()
    {
        if (descriptor_ >= 0)
            close(descriptor_);
        if (!committed_)
            unlink(path_.c_str());
    }

    int Descriptor() const { return descriptor_; }

    // Flushes the file to disk, closes it and renames it over the target.
    void Commit()
    {
        if (fsync(descriptor_) != 0)
            ThrowErrno("cannot flush " + path_.string());
        const int descriptor = descriptor_;
        descriptor_ = -1;
        if (close(descriptor) != 0)
            ThrowErrno("cannot close " + path_.string());
        if (rename(path_.c_str(), target_.c_str()) != 0)
            ThrowErrno("cannot replace " + target_.string());
        committed_ = true;
        SyncFolder();
    }

private:
    // Makes the rename itself durable. The new file is already in place, so a failure
    // here is not worth reporting.
    void SyncFolder() const
    {
        const std::filesystem::path parent = target_.has_parent_path() ? target_.parent_path() : ".";
        const int folder = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            fsync(folder);
            close(folder);
        }
    }

    std::filesystem::path target_;
    std::filesystem::path path_;
    int descriptor_ = -1;
    bool committed_ = false;
};

} // namespace

void SaveWavAtomically(const std::filesystem::path& target, const WaveFormat& format,
                       std::span<const std::uint8_t> samples)
{
    TemporaryFile temporary(target);
    SndFile file = SndFile::CreateWav(temporary.Descriptor(), {format.samplesPerSecond, format.bitsPerSample, format.channels});
    file.WriteRaw(samples);
    file.Close();
    temporary.Commit();
}

} // namespace vorlo::platform
