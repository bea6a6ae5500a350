// The brand master: every brand that can be watched, read once from "mei_code.txt".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/BulkMemory.h"
#include "platform/FileSystem.h"
#include "table/BrandCode.h"

namespace norvale {

// What is read of the brand master file at most: far beyond 32767 records of a real master.
inline constexpr std::size_t kBrandMasterMaxBytes = std::size_t{16} << 20;

struct BrandRecord {
    std::string codeText;
    std::string brandName;
    std::string marketName;
};

// Loading only finds where each record starts and indexes the codes; a record's texts are
// decoded when it is asked for, since a run uses a few hundred brands of tens of thousands.
class BrandMaster {
public:
    // Replaces the records with those of a decoded (UTF-8) master file: every four fields
    // make one record (code, name, a number that is dropped, market), a record cut short
    // by the end of the text included. Every record is kept, however many there are.
    void Load(std::string_view utf8Text);
    // Load for the file's own bytes, CP932; the texts come out as UTF-8. The delimiters are
    // all below 0x40 and so never the trail byte of a double-byte character.
    void LoadCp932(std::string_view cp932Bytes);
    // LoadCp932 of the first kBrandMasterMaxBytes of a file, read straight into the master's own
    // memory; a file that cannot be read loads as an empty master.
    void LoadCp932File(FileSystem& files, const std::string& path);
    // Index of the first record whose code field reads as code, nullopt when there is none: a
    // number equal to a numeric code, or, without the blanks around it, a code with letters in
    // either case. Answered from the indexes built by Load.
    std::optional<int> FindBrand(BrandCode code) const;
    int BrandCount() const { return static_cast<int>(starts_.size()); }
    // Record index, 0 to BrandCount() - 1, decoded.
    BrandRecord operator[](int index) const;

private:
    void Index(bool cp932);
    std::string Text(std::string_view field) const;

    // The file as given. A full master is a thousand KiB that start-up reads at once.
    std::pmr::string bytes_{&BulkMemory()};
    bool cp932_ = false;
    // Where each record starts in bytes_; its fields are read again when it is decoded. Four
    // bytes a record: a start-up touches little memory for the tens of thousands it never shows.
    std::vector<std::uint32_t> starts_;
    // First record per code, in blocks of 1024 codes made when a code of theirs is read; -1
    // where no record has that code. A master touches only the blocks of its own codes.
    static constexpr int kCodesPerBlock = 1024;
    using CodeBlock = std::array<std::int32_t, kCodesPerBlock>;
    std::array<std::unique_ptr<CodeBlock>, 65536 / kCodesPerBlock> firstByCode_;
    // First record per code with letters, as (LetteredKey, record) sorted by key.
    std::vector<std::pair<std::int32_t, std::int32_t>> firstByLetteredKey_;
};

}  // namespace norvale
