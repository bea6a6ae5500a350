// The brand master: every brand that can be watched, read once from "mei_code.txt".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvale {

struct BrandRecord {
    std::string codeText;
    std::string brandName;
    std::string marketName;
};

class BrandMaster {
public:
    // Replaces the records with those of a decoded (UTF-8) master file: every four fields
    // make one record (code, name, a number that is dropped, market), a record cut short
    // by the end of the text included. Every record is kept, however many there are.
    void Load(std::string_view utf8Text);
    // Index of the first record whose code field reads as a number equal to code, nullopt
    // when there is none. Answered from an index built by Load.
    std::optional<int> FindBrand(std::int16_t code) const;
    int BrandCount() const { return static_cast<int>(records_.size()); }
    const BrandRecord& operator[](int index) const { return records_[static_cast<std::size_t>(index)]; }

private:
    std::vector<BrandRecord> records_;
    // First record per code, at code + 32768; -1 where no record has that code.
    std::vector<std::int32_t> firstByCode_;
};

}  // namespace norvale
