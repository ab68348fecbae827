#pragma once
// The programs behind the connections: the image name of each process id, from one
// snapshot of the process list taken while the connections list is rebuilt.
#include "platform/Kernel.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace connections {

class ProcessNames {
public:
    ProcessNames() = default;
    explicit ProcessNames(const std::vector<platform::ProcessEntry>& snapshot);

    // The image name of a process, as the snapshot lists it (id 0 included); empty for a
    // process the snapshot does not know, which ended before it was taken.
    const std::wstring& NameOf(DWORD id) const;

private:
    std::unordered_map<DWORD, std::wstring> names_;
};

} // namespace connections
