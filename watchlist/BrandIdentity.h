// Market names to DDE topic suffixes, and the identity fields of a newly watched brand.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "quotes/WatchTable.h"
#include "watchlist/BrandMaster.h"

namespace norvale {

// "東証" → "t", "大証" → "os", "JASDAQ" → "q", "HC" → "oj"; exact comparison, else nullopt.
std::optional<std::string> MarketSuffix(const std::string& marketName);

// The DDE topic of a brand: BrandCode::TopicStem, ".", the market suffix (13010 on "t" is
// asked for as "3010.t", 130A as "130A.t").
std::string TopicOf(BrandCode code, std::string_view suffix);

// Sets code, marketSuffix, topic, codeText and brandName of the entry; nothing else.
void FillEntryFromMaster(WatchEntry& entry, BrandCode code, const BrandRecord& record, const std::string& suffix);

// A brand as the watch list file and the keyboard accept it: the code looked up in the master
// and its market given a suffix, then the identity fields set. False, and the entry untouched,
// for a code the master lacks or a market without a suffix.
[[nodiscard]] bool FillEntryForCode(WatchEntry& entry, BrandCode code, const BrandMaster& master);

}  // namespace norvale
