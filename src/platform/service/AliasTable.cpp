#include "platform/service/AliasTable.h"

#include <algorithm>

namespace vorlo::platform {

AliasTable::Entry* AliasTable::Find(std::string_view alias)
{
    for (Entry& entry : entries_)
        if (entry.alias == alias)
            return &entry;
    return nullptr;
}

AliasTable::Entry* AliasTable::Find(MciDeviceId id)
{
    for (Entry& entry : entries_)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

MciDeviceId AliasTable::Add(std::string alias, std::unique_ptr<MciDevice> device)
{
    MciDeviceId id = 1;
    while (Find(id))
        ++id;
    entries_.push_back({id, std::move(alias), std::move(device)});
    return id;
}

bool AliasTable::Remove(std::string_view alias)
{
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.alias == alias; });
    if (it == entries_.end())
        return false;
    it->device->Close();
    entries_.erase(it);
    return true;
}

std::vector<std::string> AliasTable::Aliases() const
{
    std::vector<std::string> names;
    for (const Entry& entry : entries_)
        names.push_back(entry.alias);
    return names;
}

} // namespace vorlo::platform
