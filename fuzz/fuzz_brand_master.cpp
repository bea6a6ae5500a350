// Fuzzes the brand master's field reader and code index with arbitrary file bytes and codes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

#include "platform/TextCodec.h"
#include "watchlist/BrandMaster.h"
#include "watchlist/NumericText.h"

using norvale::BrandMaster;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    BrandMaster raw;
    raw.LoadCp932(bytes);
    BrandMaster decoded;
    decoded.Load(norvale::Cp932ToUtf8(bytes));

    // Reading the file's own bytes must give what reading the decoded text gives.
    if (raw.BrandCount() != decoded.BrandCount()) __builtin_trap();
    for (int i = 0; i < raw.BrandCount(); ++i) {
        if (raw[i].codeText != decoded[i].codeText || raw[i].brandName != decoded[i].brandName ||
            raw[i].marketName != decoded[i].marketName) {
            __builtin_trap();
        }
        // The index answers as the scan would: the first record with that code.
        const std::optional<double> value = norvale::ParseNumber(raw[i].codeText);
        if (!value || *value < -32768 || *value > 32767 || *value != static_cast<int>(*value)) continue;
        const std::optional<int> found = raw.FindBrand(static_cast<std::int16_t>(*value));
        if (!found || *found > i) __builtin_trap();
        if (norvale::ParseNumber(raw[*found].codeText) != value) __builtin_trap();
    }
    // Arbitrary codes, present or not, from the input's first bytes and the ends of the range:
    // each answers as a scan of the records would.
    std::int16_t fromInput = 0;
    std::memcpy(&fromInput, data, std::min<std::size_t>(size, sizeof fromInput));
    const std::int16_t codes[] = {fromInput, -32768, -2, -1, 0, 32767};
    std::optional<int> first[std::size(codes)];
    for (int i = 0; i < raw.BrandCount(); ++i) {
        const std::optional<double> value = norvale::ParseNumber(raw[i].codeText);
        for (std::size_t k = 0; k < std::size(codes); ++k) {
            if (!first[k] && value == static_cast<double>(codes[k])) first[k] = i;
        }
    }
    for (std::size_t k = 0; k < std::size(codes); ++k) {
        if (raw.FindBrand(codes[k]) != first[k]) __builtin_trap();
    }
    return 0;
}
