// What the probe can tell of the way to the quote server beneath the DDEML, on each platform.
#pragma once

#include <string>

namespace norvale {

// Why no quote server can be reached at all, in a sentence for the person running the probe;
// empty when the way is there (the server itself may still be missing).
std::string TransportProblem();

}  // namespace norvale
