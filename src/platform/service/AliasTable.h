#pragma once

#include "platform/mci/MciDevice.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vorlo::platform {

// The open devices, each under its alias (lower case) and device id. Ids are the lowest
// free ones from 1 up, so a process's first open gets 1. Not thread-safe: the service
// guards it. A handful of entries at most, so lookups are linear scans.
class AliasTable {
public:
    struct Entry {
        MciDeviceId id = 0;
        std::string alias;
        std::unique_ptr<MciDevice> device;
    };

    Entry* Find(std::string_view alias);
    Entry* Find(MciDeviceId id);
    // Adds a device and returns its id.
    MciDeviceId Add(std::string alias, std::unique_ptr<MciDevice> device);
    // Closes and drops the device under `alias`; false when there is none.
    bool Remove(std::string_view alias);
    // Every alias, in the order they were opened.
    std::vector<std::string> Aliases() const;

private:
    std::vector<Entry> entries_;
};

} // namespace vorlo::platform
