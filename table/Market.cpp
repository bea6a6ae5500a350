// Market names to suffixes, the levels of a suffix and the topic of a code.
#include "table/Market.h"

namespace norvale {

std::optional<std::string> MarketSuffix(std::string_view marketName) {
    for (const Market& m : kMarkets) {
        if (marketName == m.name) return std::string(m.suffix);
    }
    return std::nullopt;
}

int QuoteLevels(std::string_view suffix) {
    for (const Market& m : kMarkets) {
        if (suffix == m.suffix) return m.quoteLevels;
    }
    return kCommonLevels;
}

std::string TopicOf(BrandCode code, std::string_view suffix) {
    std::string topic = code.TopicStem();
    topic += '.';
    topic += suffix;
    return topic;
}

}  // namespace norvale
