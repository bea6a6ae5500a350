// Fuzzes norvale-master's reading of a list with arbitrary file bytes: what it writes reads back through
// the master's reader as one record per brand, each found by its own code.
#include "fuzz/FuzzInput.h"
#include "tools/master/ListedIssues.h"
#include "watchlist/BrandMaster.h"
#include "watchlist/NumericText.h"

using namespace norvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string list = fuzz::Text(data, size);
    const master::ListConversion c = master::ConvertList(list);
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
