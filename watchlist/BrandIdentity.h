// The identity of a newly watched brand, from its code and the brand master.
#pragma once

#include <optional>

#include "table/WatchEntry.h"
#include "watchlist/BrandMaster.h"

namespace norvale {

// A brand as the watch list file and the keyboard accept it: the code looked up in the master
// and its market given a suffix (MarketSuffix). nullopt for a code the master lacks or a market
// without a suffix.
[[nodiscard]] std::optional<WatchedBrand> BrandForCode(BrandCode code, const BrandMaster& master);

}  // namespace norvale
