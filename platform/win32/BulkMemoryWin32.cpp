#include "platform/BulkMemory.h"

namespace norvale {

// Large pages need a privilege a trader's account does not hold.
std::pmr::memory_resource& BulkMemory() { return *std::pmr::new_delete_resource(); }

}  // namespace norvale
