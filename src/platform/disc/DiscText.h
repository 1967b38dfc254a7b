#pragma once

#include <map>
#include <string>

namespace vorlo::platform {

// What a disc's CD-Text says of the disc (entry 0) and of its tracks (entries by track
// number): titles and performers, in UTF-8. A missing entry or an empty field means the
// disc says nothing there. Pure data; any thread may read a published copy.
struct DiscText {
    struct Entry {
        std::string title;
        std::string performer;
    };
    static constexpr int kDisc = 0;

    std::map<int, Entry> entries;

    bool Empty() const { return entries.empty(); }
};

} // namespace vorlo::platform
