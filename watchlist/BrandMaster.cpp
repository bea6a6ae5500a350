#include "watchlist/BrandMaster.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <optional>
#include <utility>

#include "platform/TextCodec.h"
#include "watchlist/FieldReader.h"
#include "watchlist/NumericText.h"

namespace norvale {

void BrandMaster::Load(std::string_view utf8Text) {
    bytes_.assign(utf8Text);
    Index(false);
}

void BrandMaster::LoadCp932(std::string_view cp932Bytes) {
    bytes_.assign(cp932Bytes);
    Index(true);
}

void BrandMaster::LoadCp932File(FileSystem& files, const std::string& path) {
    // Read into the memory bytes_ is in, so that the move takes the buffer rather than copying it.
    std::optional<std::pmr::string> read =
        files.ReadAll(path, kBrandMasterMaxBytes, *bytes_.get_allocator().resource());
    if (read) {
        bytes_ = std::move(*read);
    } else {
        bytes_.clear();
    }
    Index(true);
}

void BrandMaster::Index(bool cp932) {
    cp932_ = cp932;
    starts_.clear();
    // Offsets are 32-bit: what lies past 4 GiB, far beyond any real master, is not read.
    const std::string_view text = std::string_view(bytes_).substr(0, UINT32_MAX);
    // Room for records of 20 bytes or more, as a real master's are, without a pass to count them.
    starts_.reserve(text.size() / 20 + 1);

    // A lookup scans nothing: the first record of each numeric code is found once here, and
    // those with letters go to a sorted list, a few hundred at most. A code with any byte beyond
    // ASCII reads as no code in either encoding.
    for (auto& block : firstByCode_) block.reset();
    firstByLetteredKey_.clear();
    FieldReader reader(text);
    // The end test comes before each record only, so a last line without a line end counts
    // and a record cut short gets empty fields.
    while (!reader.AtEnd()) {
        const auto record = static_cast<std::int32_t>(starts_.size());
        starts_.push_back(static_cast<std::uint32_t>(reader.Offset()));
        const std::optional<BrandCode> code = ReadBrandCode(reader.Next(), CodeForm::Master);
        (void)reader.Next();
        (void)reader.Next();
        (void)reader.Next();
        if (!code) continue;
        if (code->IsLettered()) {
            firstByLetteredKey_.emplace_back(code->LetteredKey(), record);
            continue;
        }
        const auto at = static_cast<std::size_t>(code->Number() + 32768);
        std::unique_ptr<CodeBlock>& block = firstByCode_[at / kCodesPerBlock];
        if (!block) {
            block = std::make_unique<CodeBlock>();
            block->fill(-1);
        }
        std::int32_t& first = (*block)[at % kCodesPerBlock];
        if (first < 0) first = record;
    }
    // By key, and by record within a key: the first of each key is the earliest record.
    std::sort(firstByLetteredKey_.begin(), firstByLetteredKey_.end());
    firstByLetteredKey_.erase(std::unique(firstByLetteredKey_.begin(), firstByLetteredKey_.end(),
                                          [](const auto& a, const auto& b) { return a.first == b.first; }),
                              firstByLetteredKey_.end());
}

std::string BrandMaster::Text(std::string_view field) const {
    return cp932_ ? Cp932ToUtf8(field) : std::string(field);
}

BrandRecord BrandMaster::operator[](int index) const {
    assert(index >= 0 && index < BrandCount());
    FieldReader reader(std::string_view(bytes_).substr(starts_[static_cast<std::size_t>(index)], UINT32_MAX));
    BrandRecord record;
    record.codeText = Text(reader.Next());
    record.brandName = Text(reader.Next());
    (void)reader.Next();
    record.marketName = Text(reader.Next());
    return record;
}

std::optional<int> BrandMaster::FindBrand(BrandCode code) const {
    if (code.IsLettered()) {
        const auto found = std::lower_bound(firstByLetteredKey_.begin(), firstByLetteredKey_.end(),
                                            std::pair<std::int32_t, std::int32_t>(code.LetteredKey(), -1));
        if (found == firstByLetteredKey_.end() || found->first != code.LetteredKey()) return std::nullopt;
        return found->second;
    }
    const auto at = static_cast<std::size_t>(code.Number() + 32768);
    const std::unique_ptr<CodeBlock>& block = firstByCode_[at / kCodesPerBlock];
    if (!block || (*block)[at % kCodesPerBlock] < 0) return std::nullopt;
    return (*block)[at % kCodesPerBlock];
}

}  // namespace norvale
