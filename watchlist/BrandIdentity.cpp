// The identity of a new entry, from the master's record of its code.
#include "watchlist/BrandIdentity.h"

#include "table/Market.h"

namespace norvale {

std::optional<WatchedBrand> BrandForCode(BrandCode code, const BrandMaster& master) {
    const std::optional<int> found = master.FindBrand(code);
    if (!found) return std::nullopt;
    const BrandRecord record = master[*found];
    std::optional<std::string> suffix = MarketSuffix(record.marketName);
    if (!suffix) return std::nullopt;
    return WatchedBrand{code, record.codeText, record.brandName, std::move(*suffix)};
}

}  // namespace norvale
