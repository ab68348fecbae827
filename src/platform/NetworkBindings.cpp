#include "platform/Network.h"
#include "platform/Spooler.h"

namespace platform {

Network& network() {
    static Network binding;
    return binding;
}

Spooler& spooler() {
    static Spooler binding;
    return binding;
}

} // namespace platform
