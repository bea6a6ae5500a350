// The brand master: every brand that can be watched, read once from "mei_code.txt".
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "table/BrandCode.h"

namespace norvale {

// What is read of the brand master file at most: far beyond 32767 records of a real master.
inline constexpr std::size_t kBrandMasterMaxBytes = std::size_t{16} << 20;

struct BrandRecord {
    std::string codeText;
    std::string brandName;
    std::string marketName;
};

// Loading only finds where each record's fields lie and indexes the codes; a record's texts
// are decoded the first time it is asked for, since a run uses a few hundred brands of tens
// of thousands. Not for use from more than one thread.
class BrandMaster {
public:
    // Replaces the records with those of a decoded (UTF-8) master file: every four fields
    // make one record (code, name, a number that is dropped, market), a record cut short
    // by the end of the text included. Every record is kept, however many there are.
    void Load(std::string_view utf8Text);
    // Load for the file's own bytes, CP932; the texts come out as UTF-8. The delimiters are
    // all below 0x40 and so never the trail byte of a double-byte character.
    void LoadCp932(std::string cp932Bytes);
    // Index of the first record whose code field reads as code, nullopt when there is none: a
    // number equal to a numeric code, or, without the blanks around it, a code with letters in
    // either case. Answered from the indexes built by Load.
    std::optional<int> FindBrand(BrandCode code) const;
    int BrandCount() const { return static_cast<int>(fields_.size()); }
    // Record index, 0 to BrandCount() - 1; the reference stays valid until the next load.
    const BrandRecord& operator[](int index) const;

private:
    struct Span {
        std::uint32_t begin = 0;
        std::uint32_t size = 0;
    };
    struct RecordFields {
        Span code, name, market;
    };

    void Index(bool cp932);
    std::string Text(Span span) const;

    std::string bytes_;  // the file as given
    bool cp932_ = false;
    std::vector<RecordFields> fields_;
    mutable std::vector<std::unique_ptr<BrandRecord>> decoded_;
    // First record per numeric code, at code - codeBase_; -1 where no record has that code.
    std::vector<std::int32_t> firstByCode_;
    int codeBase_ = 0;
    // First record per code with letters, as (LetteredKey, record) sorted by key.
    std::vector<std::pair<std::int32_t, std::int32_t>> firstByLetteredKey_;
};

}  // namespace norvale
