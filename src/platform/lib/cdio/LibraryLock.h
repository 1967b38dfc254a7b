#pragma once

#include <mutex>

namespace vorlo::platform::cdio {

// libcdio passes every message through one process-wide function whose guard against
// recursion is a plain static flag: a message logged on one thread while another thread
// is inside that function aborts the process. libcdio and libcdio-paranoia log from
// opens, TOC reads, sector reads and drive probes alike, so every call into either holds
// this lock, around the call alone. Any thread. It is never destroyed: a thread still
// inside a stalled drive read when the process ends may yet take it.
inline std::mutex& LibraryMutex()
{
    static auto* const mutex = new std::mutex;
    return *mutex;
}

using LibraryLock = std::lock_guard<std::mutex>;

} // namespace vorlo::platform::cdio
