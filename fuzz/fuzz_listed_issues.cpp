// Fuzzes norvale-master's reading of a list with arbitrary file bytes: what it writes reads back through
// the master's reader as one record per brand, each found by its own code.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tools/master/ListedIssues.h"
#include "watchlist/BrandMaster.h"
#include "watchlist/NumericText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const norvale::master::ListConversion c =
        norvale::master::ConvertList(std::string_view(reinterpret_cast<const char*>(data), size));
    if (c.problem != norvale::master::ListProblem::None) return 0;
    norvale::BrandMaster m;
    m.LoadCp932(c.master);
    if (c.brands <= 0 || m.BrandCount() != c.brands) __builtin_trap();
    for (int i = 0; i < m.BrandCount(); ++i) {
        const auto code = norvale::ReadBrandCode(m[i].codeText, norvale::CodeForm::Master);
        if (!code || m.FindBrand(*code) != i || m[i].marketName != "東証") __builtin_trap();
    }
    return 0;
}
