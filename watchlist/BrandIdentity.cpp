// Market names to topic suffixes, the topic of a code and the identity of a new entry.
#include "watchlist/BrandIdentity.h"

#include <array>
#include <utility>

namespace norvale {

std::optional<std::string> MarketSuffix(const std::string& marketName) {
    static const std::array<std::pair<const char*, const char*>, 4> kSuffixes = {{
        {"東証", "t"},
        {"大証", "os"},
        {"JASDAQ", "q"},
        {"HC", "oj"},
    }};
    for (const auto& [name, suffix] : kSuffixes) {
        if (marketName == name) return std::string(suffix);
    }
    return std::nullopt;
}

std::string TopicOf(BrandCode code, std::string_view suffix) {
    std::string topic = code.TopicStem();
    topic += '.';
    topic += suffix;
    return topic;
}

void FillEntryFromMaster(WatchEntry& entry, BrandCode code, const BrandRecord& record, const std::string& suffix) {
    entry.code = code;
    entry.marketSuffix = suffix;
    entry.topic = TopicOf(code, suffix);
    entry.codeText = record.codeText;
    entry.brandName = record.brandName;
}

bool FillEntryForCode(WatchEntry& entry, BrandCode code, const BrandMaster& master) {
    const std::optional<int> found = master.FindBrand(code);
    if (!found) return false;
    const BrandRecord record = master[*found];
    const std::optional<std::string> suffix = MarketSuffix(record.marketName);
    if (!suffix) return false;
    FillEntryFromMaster(entry, code, record, *suffix);
    return true;
}

}  // namespace norvale
