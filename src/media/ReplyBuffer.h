#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace vorlo::media {

// The reply area that a media handler owns for as long as it runs. It is created as
// 128 blanks and reused, never reset, for every command the handler sends. The media
// layer writes a NUL-terminated reply into it; whatever stood after that NUL (blanks,
// or the tail of an earlier and longer reply) stays there but is never read.
class ReplyBuffer {
public:
    static constexpr std::size_t kCapacity = 128;

    ReplyBuffer() { chars_.fill(' '); }

    char* data() { return chars_.data(); }
    const char* data() const { return chars_.data(); }
    static constexpr std::size_t size() { return kCapacity; }

    // The reply proper: everything before the first NUL, or the whole area if it holds none.
    std::string_view Reply() const
    {
        const std::string_view all(chars_.data(), chars_.size());
        return all.substr(0, all.find('\0'));
    }

    const std::array<char, kCapacity>& Chars() const { return chars_; }

private:
    std::array<char, kCapacity> chars_;
};

} // namespace vorlo::media
