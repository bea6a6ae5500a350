// Numeric brand codes read as they always have: every existing master and watch list, and every
// typed code, gives the table recorded in tests/data/numeric_golden.txt.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/KeyCodes.h"
#include "tests/common/TableBuilder.h"
#include "watchlist/BrandEntry.h"
#include "watchlist/WatchListFile.h"

namespace norvale {
namespace {

std::string ReadFile(const std::string& name) { return test::ReadFile(std::string(NORVALE_TEST_DATA) + "/" + name); }

// What a master answers for every 16-bit code, and what a watch list and every typed code of one to
// four digits give the table.
std::string Dump(const std::string& masterBytes, bool cp932, const std::string& watch) {
    std::ostringstream out;
    BrandMaster m;
    if (cp932) m.LoadCp932(masterBytes);
    else m.Load(masterBytes);
    out << "records " << m.BrandCount() << "; found";
    for (int code = -32768; code <= 32767; ++code) {
        if (const auto i = m.FindBrand(BrandCode(static_cast<std::int16_t>(code)))) out << ' ' << code << '=' << *i;
    }
    auto table = std::make_unique<WatchTable>();
    const auto entries = [&](const std::string& lead) {
        for (int k = 0; k < table->Count(); ++k) {
            const WatchEntry& e = table->Entry(k);
            out << '\n' << lead << e.code.Text() << ' ' << e.topic << ' ' << e.codeText << ' ' << e.marketSuffix
                << ' ' << e.brandName;
        }
    };
    const WatchListLoad load = ReadWatchList(watch, m, *table);
    out << "\nwatch list " << static_cast<int>(load.status) << ' ' << load.errorLine;
    entries("  ");
    for (const int count : {10, 100, 1000, 10000}) {
        for (int n = 0; n < count; ++n) {
            const std::string typed = std::to_string(count + n).substr(1);  // n with its leading zeros
            BrandEntry entry;
            table->Clear();
            for (const char c : typed + '\r') {
                const auto keyCode = static_cast<std::int16_t>(c == '\r' ? key::kEnter : key::kDigit0 + c - '0');
                (void)entry.KeyReleased(keyCode, *table, m, -1, false);
            }
            entries("  typed " + typed + ": ");
        }
    }
    out << '\n';
    return out.str();
}

TEST(NumericCodes, EveryMasterWatchListAndTypedCodeGivesTheTableItAlwaysGave) {
    std::string all = "sample\n" + Dump(ReadFile("numeric_master.txt"), true, ReadFile("numeric_watch.txt"));
    for (const auto& [master, watch] : {std::pair{"master_crlf.txt", "watch_crlf.txt"}, {"master_cr.txt", "watch_cr.txt"},
                                        {"master_lf.txt", "watch_lf.txt"},
                                        {"master_truncated.txt", "watch_bom.txt"}}) {
        all += std::string(master) + ' ' + watch + '\n' + Dump(ReadFile(master), true, ReadFile(watch));
    }
    // Every way a number is written that a master or a watch list may hold, and texts that look like
    // codes with letters but are not of that form (UTF-8).
    all += "odd\n" + Dump(ReadFile("numeric_odd_master.txt"), false, ReadFile("numeric_odd_watch.txt"));
    // Masters without any numeric code, and codes that read as numbers in every odd way, duplicates and
    // codes outside 16 bits: how the index answers them (fuzz_brand_master checks it against a scan).
    for (const std::string& master : {std::string(), std::string("ｺｰﾄﾞ,銘柄名,単位,市場\r\n"), std::string("\r\n\r\n"),
                                      std::string("abc,x,1,東証\r\n,y,1,東証"), ReadFile("numeric_index_master.txt")})
        all += "index\n" + Dump(master, false, "");
    const std::string golden = ReadFile("numeric_golden.txt");
    if (all != golden) std::ofstream(::testing::TempDir() + "numeric_golden.txt", std::ios::binary) << all;
    EXPECT_TRUE(all == golden) << "the table differs; this build's is " << ::testing::TempDir() << "numeric_golden.txt";
}

}  // namespace
}  // namespace norvale
