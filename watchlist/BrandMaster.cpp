#include "watchlist/BrandMaster.h"

#include "watchlist/FieldReader.h"
#include "watchlist/NumericText.h"

namespace norvale {

namespace {

constexpr int kCodeOffset = 32768;
constexpr std::size_t kCodeSlots = 65536;

}  // namespace

void BrandMaster::Load(std::string_view utf8Text) {
    records_.clear();
    FieldReader reader(utf8Text);
    // The end test comes before each record only, so a last line without a line end counts
    // and a record cut short gets empty fields.
    while (!reader.AtEnd()) {
        BrandRecord record;
        record.codeText = reader.Next();
        record.brandName = reader.Next();
        (void)reader.Next();
        record.marketName = reader.Next();
        records_.push_back(std::move(record));
    }

    // A lookup scans nothing: the first record of each code is found once here. A code
    // field matches only when it reads as a number that is exactly a 16-bit code.
    firstByCode_.assign(kCodeSlots, -1);
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const std::optional<double> value = ParseNumber(records_[i].codeText);
        if (!value || *value < -32768.0 || *value > 32767.0) continue;
        const auto code = static_cast<int>(*value);
        if (static_cast<double>(code) != *value) continue;
        std::int32_t& slot = firstByCode_[static_cast<std::size_t>(code + kCodeOffset)];
        if (slot < 0) slot = static_cast<std::int32_t>(i);
    }
}

std::optional<int> BrandMaster::FindBrand(std::int16_t code) const {
    if (firstByCode_.empty()) return std::nullopt;
    const std::int32_t index = firstByCode_[static_cast<std::size_t>(code + kCodeOffset)];
    if (index < 0) return std::nullopt;
    return index;
}

}  // namespace norvale
