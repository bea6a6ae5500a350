// Memory for the few large blocks that a start-up fills at once: the brand master's bytes and the
// watch table's entries.
#pragma once

#include <memory_resource>

namespace norvale {

// A platform may back large blocks with large pages, so that filling one costs a few page faults
// rather than one for every 4 KiB: under a virtual machine each fault can cost ten microseconds,
// and a full master and watch list are some five hundred pages. Small blocks come from new.
std::pmr::memory_resource& BulkMemory();

}  // namespace norvale
