#include "watchlist/BrandMaster.h"

namespace norvale {

void BrandMaster::Load(std::string_view) { records_.clear(); }

std::optional<int> BrandMaster::FindBrand(std::int16_t) const { return std::nullopt; }

}  // namespace norvale
