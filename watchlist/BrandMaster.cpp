#include "watchlist/BrandMaster.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <utility>

#include "platform/TextCodec.h"
#include "watchlist/FieldReader.h"
#include "watchlist/NumericText.h"

namespace norvale {


void BrandMaster::Load(std::string_view utf8Text) {
    bytes_.assign(utf8Text);
    Index(false);
}

void BrandMaster::LoadCp932(std::string cp932Bytes) {
    bytes_ = std::move(cp932Bytes);
    Index(true);
}

void BrandMaster::Index(bool cp932) {
    cp932_ = cp932;
    fields_.clear();
    decoded_.clear();
    // Offsets are 32-bit: what lies past 4 GiB, far beyond any real master, is not read.
    const std::string_view text = std::string_view(bytes_).substr(0, UINT32_MAX);
    // Room for records of 20 bytes or more, as a real master's are, without a pass to count them.
    fields_.reserve(text.size() / 20 + 1);
    const auto span = [&](std::string_view field) {
        if (field.empty()) return Span{};
        return Span{static_cast<std::uint32_t>(field.data() - text.data()), static_cast<std::uint32_t>(field.size())};
    };
    FieldReader reader(text);
    // The end test comes before each record only, so a last line without a line end counts
    // and a record cut short gets empty fields.
    while (!reader.AtEnd()) {
        RecordFields record;
        record.code = span(reader.Next());
        record.name = span(reader.Next());
        (void)reader.Next();
        record.market = span(reader.Next());
        fields_.push_back(record);
    }
    decoded_.resize(fields_.size());

    // A lookup scans nothing: the first record of each numeric code is found once here, in a
    // table over the range of codes present, and those with letters in a sorted list, a few
    // hundred at most. A code with any byte beyond ASCII reads as no code in either encoding.
    constexpr int kNoCode = INT32_MIN;
    std::vector<int> codes(fields_.size(), kNoCode);
    int low = INT32_MAX;
    int high = INT32_MIN;
    firstByLetteredKey_.clear();
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const Span code = fields_[i].code;
        const std::optional<BrandCode> value = ReadBrandCode(text.substr(code.begin, code.size), CodeForm::Master);
        if (!value) continue;
        if (value->IsLettered()) {
            firstByLetteredKey_.emplace_back(value->LetteredKey(), static_cast<std::int32_t>(i));
            continue;
        }
        codes[i] = value->Number();
        low = std::min<int>(low, value->Number());
        high = std::max<int>(high, value->Number());
    }
    // By key, and by record within a key: the first of each key is the earliest record.
    std::sort(firstByLetteredKey_.begin(), firstByLetteredKey_.end());
    firstByLetteredKey_.erase(std::unique(firstByLetteredKey_.begin(), firstByLetteredKey_.end(),
                                          [](const auto& a, const auto& b) { return a.first == b.first; }),
                              firstByLetteredKey_.end());
    firstByCode_.clear();
    codeBase_ = low;
    if (low > high) return;
    firstByCode_.assign(static_cast<std::size_t>(high - low + 1), -1);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == kNoCode) continue;
        std::int32_t& slot = firstByCode_[static_cast<std::size_t>(codes[i] - low)];
        if (slot < 0) slot = static_cast<std::int32_t>(i);
    }
}

std::string BrandMaster::Text(Span span) const {
    const std::string_view field = std::string_view(bytes_).substr(span.begin, span.size);
    return cp932_ ? Cp932ToUtf8(field) : std::string(field);
}

const BrandRecord& BrandMaster::operator[](int index) const {
    assert(index >= 0 && index < BrandCount());
    std::unique_ptr<BrandRecord>& slot = decoded_[static_cast<std::size_t>(index)];
    if (!slot) {
        const RecordFields& f = fields_[static_cast<std::size_t>(index)];
        slot = std::make_unique<BrandRecord>(BrandRecord{Text(f.code), Text(f.name), Text(f.market)});
    }
    return *slot;
}

std::optional<int> BrandMaster::FindBrand(BrandCode code) const {
    if (code.IsLettered()) {
        const auto found = std::lower_bound(firstByLetteredKey_.begin(), firstByLetteredKey_.end(),
                                            std::pair<std::int32_t, std::int32_t>(code.LetteredKey(), -1));
        if (found == firstByLetteredKey_.end() || found->first != code.LetteredKey()) return std::nullopt;
        return found->second;
    }
    // Without any numeric code the base is INT32_MAX; the difference is taken in 64 bits.
    const std::int64_t offset = std::int64_t{code.Number()} - codeBase_;
    if (offset < 0 || static_cast<std::uint64_t>(offset) >= firstByCode_.size()) return std::nullopt;
    const std::int32_t index = firstByCode_[static_cast<std::size_t>(offset)];
    if (index < 0) return std::nullopt;
    return index;
}

}  // namespace norvale
