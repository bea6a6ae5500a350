// The DDEML of the platform the program is built for; each backend defines the factory once.
#pragma once

#include <memory>

#include "platform/Ddeml.h"

namespace norvale {

// Never null. A backend whose transport is missing says so through its calls (Initialize fails).
std::unique_ptr<Ddeml> MakePlatformDdeml();

}  // namespace norvale
