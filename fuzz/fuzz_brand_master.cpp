// Fuzzes the brand master's field reader and code index with arbitrary file bytes and codes, and
// norvale-master's reading of a list with the same bytes: what it writes reads back through the master's
// reader as one record per brand, each found by its own code.
#include <algorithm>
#include <cstring>
#include <map>

#include "fuzz/FuzzInput.h"
#include "platform/TextCodec.h"
#include "tools/master/ListedIssues.h"
#include "watchlist/BrandMaster.h"
#include "watchlist/NumericText.h"

using namespace norvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz::Text(data, size);
    BrandMaster raw, decoded;
    raw.LoadCp932(bytes);
    decoded.Load(Cp932ToUtf8(bytes));

    // Reading the file's own bytes must give what reading the decoded text gives.
    fuzz::Check(raw.BrandCount() == decoded.BrandCount());
    std::map<std::int16_t, int> first;  // the first record of each 16-bit code, as a scan finds it
    std::map<int, int> firstLettered;   // and of each code with letters
    for (int i = 0; i < raw.BrandCount(); ++i) {
        fuzz::Check(raw[i].codeText == decoded[i].codeText && raw[i].brandName == decoded[i].brandName &&
                    raw[i].marketName == decoded[i].marketName);
        if (const auto lettered = BrandCode::Lettered(raw[i].codeText)) {
            fuzz::Check(raw.FindBrand(*lettered) == firstLettered.emplace(lettered->LetteredKey(), i).first->second);
            continue;
        }
        const std::optional<double> value = ParseNumber(raw[i].codeText);
        if (value && *value >= -32768 && *value <= 32767 && *value == static_cast<int>(*value))
            first.emplace(static_cast<std::int16_t>(*value), i);
    }
    // The index answers as the scan for every code of a record and for arbitrary codes, present or
    // not, from the input's first bytes and the ends of the range (-1: found nowhere).
    std::int16_t fromInput = 0;
    std::memcpy(&fromInput, data, std::min<std::size_t>(size, sizeof fromInput));
    for (const int code : {static_cast<int>(fromInput), -32768, -2, -1, 0, 32767})
        first.try_emplace(static_cast<std::int16_t>(code), -1);
    for (const auto& [code, index] : first) fuzz::Check(raw.FindBrand(BrandCode(code)).value_or(-1) == index);

    const master::ListConversion c = master::ConvertList(bytes);
    if (c.problem != master::ListProblem::None) return 0;
    BrandMaster m;
    m.LoadCp932(c.master);
    fuzz::Check(c.brands > 0 && m.BrandCount() == c.brands);
    for (int i = 0; i < m.BrandCount(); ++i) {
        const auto code = ReadBrandCode(m[i].codeText, CodeForm::Master);
        fuzz::Check(code && m.FindBrand(*code) == i && m[i].marketName == "東証");
    }
    return 0;
}
