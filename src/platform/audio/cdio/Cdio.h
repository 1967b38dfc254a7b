#pragma once

#include <cdio/cdio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vorlo::platform::cdio {

// Owns a CdIo_t: one open CD drive or disc image. A handle belongs to one thread at a
// time; libcdio does not lock.
class Cdio {
public:
    // Opens `source`: a drive node (/dev/sr0) or a disc image (.cue, .toc, .nrg). An empty
    // name opens the system's default drive. May do drive I/O. Throws std::runtime_error.
    explicit Cdio(const std::string& source);
    ~Cdio();

    Cdio(const Cdio&) = delete;
    Cdio& operator=(const Cdio&) = delete;

    CdIo_t* Get() const { return handle_; }
    // True for a disc image, false for a real drive.
    bool IsImage() const;

    // The sectors [begin, end) of each audio track, in disc order.
    struct Span {
        std::int32_t begin;
        std::int32_t end;
    };
    std::vector<Span> AudioTracks() const;

private:
    CdIo_t* handle_;
};

// Whether the files of the disc image behind `image` are still where they were opened.
// libcdio keeps its files open, so an image removed since reads on from the removed files;
// this tells a removed image from one still there. True for a drive. No media I/O.
bool ImageFilesPresent(CdIo_t* image);

} // namespace vorlo::platform::cdio
