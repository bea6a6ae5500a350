#include "watchlist/BrandIdentity.h"

namespace norvale {

std::optional<std::string> MarketSuffix(const std::string&) { return std::nullopt; }

void FillEntryFromMaster(WatchEntry&, std::int16_t, const BrandRecord&, const std::string&) {}

}  // namespace norvale
