#include "StatForm/Owners.h"

namespace connections {

ProcessNames::ProcessNames(const std::vector<platform::ProcessEntry>& snapshot) {
    names_.reserve(snapshot.size());
    // An id listed twice keeps its first name.
    for (const platform::ProcessEntry& process : snapshot)
        names_.emplace(process.Id, process.ImageName);
}

const std::wstring& ProcessNames::NameOf(DWORD id) const {
    static const std::wstring kNone;
    const auto found = names_.find(id);
    return found == names_.end() ? kNone : found->second;
}

} // namespace connections
