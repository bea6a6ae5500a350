// Numeric brand codes read as they always have: every existing master and watch list, and every
// typed code, gives the table recorded in tests/data/numeric_golden.txt.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "platform/KeyCodes.h"
#include "tests/common/TableBuilder.h"
#include "watchlist/BrandEntry.h"
#include "watchlist/WatchListFile.h"

namespace norvale {
namespace {

std::string ReadFile(const std::string& name) { return test::ReadFile(std::string(NORVALE_TEST_DATA) + "/" + name); }

// Every way a number is written that a master or a watch list may hold, and texts that look like
// codes with letters but are not of that form.
const char* const kOddMaster =
    "7203,A,100,東証\r\n07203,B,100,東証\r\n 6758,C,100,大証\r\n\" 8233 \",D,100,JASDAQ\r\n1321.0,E,1,HC\r\n"
    "1e3,F,100,東証\r\n+42,G,100,東証\r\n-5,H,100,東証\r\n0,I,100,東証\r\n32767,J,100,東証\r\n32768,K,100,東証\r\n"
    "13010,L,100,東証\r\n1301.5,M,100,東証\r\n0x10,N,100,東証\r\n1,O,100,東証\r\n130B,P,100,東証\r\n13O0,Q,100,東証\r\n"
    "130AA,R,100,東証\r\nA130,S,100,東証\r\n1A,T,100,東証\r\n１３０１,U,100,東証\r\n9999,V,100,NYSE\r\n";
const char* const kOddWatch =
    "7203\r\n 7203 \r\n7203.4\r\n6757.5\r\n6758.5\r\n1e3\r\n1E00\r\n+42\r\n-5\r\n-4.5\r\n0\r\n32767\r\n32767.4\r\n"
    "32767.5\r\n-32768.5\r\n13010\r\n07203\r\n7203,abc\r\nabc\r\n１３０１\r\n130B\r\n13O0\r\n130AA\r\nA130\r\n1A\r\n"
    "1D\r\n\t8233\r\n   \r\n\r\n1301.5\r\n9999\r\n8233.\r\n.5e4\r\n";

const char* const kIndexMaster =
    "7203.0,a,1,東証\n7203,b,1,東証\n7203.5,c,1,東証\n1e3,d,1,東証\n-5,e,1,東証\n+6758,f,1,東証\n32767,g,1,東証\n"
    "-32768,h,1,東証\n32768,i,1,東証\n-32769,j,1,東証\n65536,k,1,東証\n1000,l,1,東証\n0x10,m,1,東証\ninf,n,1,東証\n"
    "nan,o,1,東証\n,p,1,東証\n.5e1,q,1,東証\n-0,r,1,東証\n0,s,1,東証\n1e400,t,1,東証\n72 03,u,1,東証\n00042,v,1,東証\n"
    "032767,w,1,東証\n99999,x,1,東証\n４２,y,1,東証\n";

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
    all += "odd\n" + Dump(kOddMaster, false, kOddWatch);
    // Masters without any numeric code, and codes that read as numbers in every odd way, duplicates and
    // codes outside 16 bits: how the index answers them (fuzz_brand_master checks it against a scan).
    for (const char* master : {"", "ｺｰﾄﾞ,銘柄名,単位,市場\r\n", "\r\n\r\n", "abc,x,1,東証\r\n,y,1,東証", kIndexMaster})
        all += "index\n" + Dump(master, false, "");
    const std::string golden = ReadFile("numeric_golden.txt");
    if (all != golden) std::ofstream(::testing::TempDir() + "numeric_golden.txt", std::ios::binary) << all;
    EXPECT_TRUE(all == golden) << "the table differs; this build's is " << ::testing::TempDir() << "numeric_golden.txt";
}

}  // namespace
}  // namespace norvale
