#include "app/Watched.h"

namespace app {

bool IsWatched(const MIB_IF_ROW2& row, bool hasIPv4Address) {
    if (row.Type == IF_TYPE_SOFTWARE_LOOPBACK || row.InterfaceAndOperStatusFlags.FilterInterface)
        return false;
    if (row.InterfaceAndOperStatusFlags.HardwareInterface || row.InterfaceAndOperStatusFlags.ConnectorPresent)
        return true;
    return hasIPv4Address;
}

} // namespace app
