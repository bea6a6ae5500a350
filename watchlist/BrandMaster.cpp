#include "watchlist/BrandMaster.h"

#include <algorithm>
#include <cassert>

#include "platform/TextCodec.h"
#include "watchlist/FieldReader.h"
#include "watchlist/NumericText.h"

namespace norvale {

namespace {

constexpr int kCodeOffset = 32768;
constexpr std::size_t kCodeSlots = 65536;

// The 16-bit code that a code field reads as exactly, if any. Plain digits, as nearly every
// master writes them, are read without the general number reader.
std::optional<int> CodeOf(std::string_view text) {
    if (!text.empty() && text.size() <= 5) {
        int value = 0;
        bool digits = true;
        for (const char c : text) {
            if (c < '0' || c > '9') {
                digits = false;
                break;
            }
            value = value * 10 + (c - '0');
        }
        if (digits) return value <= 32767 ? std::optional<int>(value) : std::nullopt;
    }
    const std::optional<double> value = ParseNumber(text);
    if (!value || *value < -32768.0 || *value > 32767.0) return std::nullopt;
    const auto code = static_cast<int>(*value);
    if (static_cast<double>(code) != *value) return std::nullopt;
    return code;
}

}  // namespace

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
    // Offsets are 32-bit: a master of 4 GiB is far outside anything a trader keeps.
    assert(bytes_.size() < UINT32_MAX);

    // One record per line in a well-formed file.
    fields_.reserve(static_cast<std::size_t>(std::count(bytes_.begin(), bytes_.end(), '\n')) + 1);
    const std::string_view text(bytes_);
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

    // A lookup scans nothing: the first record of each code is found once here. A code
    // with any byte beyond ASCII reads as no number in either encoding.
    firstByCode_.assign(kCodeSlots, -1);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const Span code = fields_[i].code;
        const std::optional<int> value = CodeOf(text.substr(code.begin, code.size));
        if (!value) continue;
        std::int32_t& slot = firstByCode_[static_cast<std::size_t>(*value + kCodeOffset)];
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

std::optional<int> BrandMaster::FindBrand(std::int16_t code) const {
    if (firstByCode_.empty()) return std::nullopt;
    const std::int32_t index = firstByCode_[static_cast<std::size_t>(code + kCodeOffset)];
    if (index < 0) return std::nullopt;
    return index;
}

}  // namespace norvale
