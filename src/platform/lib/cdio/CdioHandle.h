#pragma once

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlo::platform {

// A table of contents as libcdio gives it, in LSNs: tracks in disc order, numbered as the
// disc numbers them, each starting after the one before it.
struct CdioToc {
    struct Track {
        int number = 0;
        std::int32_t startLsn = 0;
        bool audio = true;
    };
    std::vector<Track> tracks;
    std::int32_t leadOutLsn = 0;
};

// A libcdio failure, with what libcdio said about it when it said anything.
class CdioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Owns one libcdio handle (a drive or a disc image). Calls may block on the drive for as
// long as it takes, so they belong on worker threads, except on images. One thread at a
// time. Opening throws CdioError.
class CdioHandle {
public:
    // A CUE/BIN, cdrdao TOC or Nero NRG image, chosen by the file's extension; other names,
    // a drive's device node among them, are left to libcdio to recognise.
    static CdioHandle OpenImage(const std::string& path);
    // A drive's device node.
    static CdioHandle OpenDrive(const std::string& device);

    CdIo_t* get() const { return handle_.get(); }
    // True for a disc image, false for a real drive.
    bool IsImage() const;
    // The device node or image file it was opened on.
    const std::string& Source() const { return source_; }
    // Asks a drive to read at `speed` times the audio rate (1x = 75 sectors a second), or
    // as fast as it can at 0. Ignored by images, and by drives that cannot. Drive I/O.
    void RequestSpeed(int speed) const;
    // Whether the files of an image are still where they were opened (true for a drive).
    // libcdio keeps its files open, so an image removed since reads on from the removed
    // files; this tells a removed image from one still there. No media I/O.
    bool FilesPresent() const;

    // The disc's table of contents; empty when the drive holds no disc. Throws CdioError
    // when libcdio reports tracks it cannot place.
    CdioToc ReadToc() const;

    // Installs, once per process, a libcdio log handler that keeps libcdio's messages off
    // the terminal and remembers the warnings of the calling thread.
    static void CaptureLog();
    // The libcdio warnings and errors logged on this thread since the last call, then forgets them.
    static std::string TakeLastMessage();

private:
    struct Destroy {
        void operator()(CdIo_t* handle) const;
    };
    CdioHandle(CdIo_t* handle, std::string source) : handle_(handle), source_(std::move(source)) {}

    std::unique_ptr<CdIo_t, Destroy> handle_;
    std::string source_;
};

// The system's default CD drive, empty when it has none. Probes device nodes only; no media I/O.
std::string DefaultDrive();

} // namespace vorlo::platform
