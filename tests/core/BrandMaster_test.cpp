// The brand master: its field reader, its records and the lookup by code.
#include "watchlist/BrandMaster.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "app/MainWindowLogic.h"
#include "platform/TextCodec.h"
#include "platform/fake/FakePlatform.h"
#include "watchlist/FieldReader.h"
#include "watchlist/NumericText.h"

namespace norvale {
namespace {

std::vector<std::string> Fields(std::string_view text) {
    FieldReader reader(text);
    std::vector<std::string> out;
    while (!reader.AtEnd()) out.emplace_back(reader.Next());
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The lookup as the file format defines it: the first record whose code reads as the code.
std::optional<int> LinearFind(const BrandMaster& m, std::int16_t code) {
    for (int i = 0; i < m.BrandCount(); ++i) {
        const std::optional<double> v = ParseNumber(m[i].codeText);
        if (v && *v == code) return i;
    }
    return std::nullopt;
}

TEST(FieldReader, LineEndsDelimitFieldsLikeCommas) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Fields("a,b\r\nc,d"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(Fields("a,b\rc\nd"), (V{"a", "b", "c", "d"}));
    // An empty line is one empty field; a comma before a line end gives one, not two.
    EXPECT_EQ(Fields("a\r\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Fields("a,\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Fields("a,,b"), (V{"a", "", "b"}));
    // A line end at the very end ends the last field and starts nothing.
    EXPECT_EQ(Fields("a\r\n"), (V{"a"}));
    EXPECT_EQ(Fields(""), V{});
}

TEST(FieldReader, BlanksAndQuotes) {
    using V = std::vector<std::string>;
    // Blanks before a field are skipped, blanks after it stay.
    EXPECT_EQ(Fields("  7203 ,\t東証 "), (V{"7203 ", "東証 "}));
    EXPECT_EQ(Fields("   \r\nx"), (V{"", "x"}));
    // A quoted field keeps its commas and blanks; what follows the closing quote is dropped.
    EXPECT_EQ(Fields("\"A,B\",c"), (V{"A,B", "c"}));
    EXPECT_EQ(Fields("\" 7203\",x"), (V{" 7203", "x"}));
    EXPECT_EQ(Fields("\"A\"junk,c"), (V{"A", "c"}));
    EXPECT_EQ(Fields("\"\",c"), (V{"", "c"}));
    // A quote that never closes ends with its line; a quote inside a field is a character.
    EXPECT_EQ(Fields("\"A,B\r\nc"), (V{"A,B", "c"}));
    EXPECT_EQ(Fields("ab\"c,d"), (V{"ab\"c", "d"}));
}

TEST(BrandMaster, RecordsAreEveryFourFields) {
    BrandMaster m;
    m.Load("7203,トヨタ自動車,100,東証\r\n6758,ソニーグループ,100,東証\r\n");
    ASSERT_EQ(m.BrandCount(), 2);
    EXPECT_EQ(m.FindBrand(6758), 1);
    EXPECT_EQ(m[1].codeText, "6758");
    EXPECT_EQ(m[1].brandName, "ソニーグループ");
    EXPECT_EQ(m[1].marketName, "東証");

    // Quoted comma: one field, nothing shifted.
    m.Load("6758,\"A,B\",100,東証\r\n7203,C,100,東証");
    ASSERT_EQ(m.BrandCount(), 2);
    EXPECT_EQ(m[0].brandName, "A,B");
    EXPECT_EQ(m.FindBrand(7203), 1);

    // A heading loads as a record that matches nothing.
    m.Load("ｺｰﾄﾞ,銘柄名,単位,市場\r\n7203,C,100,東証\r\n");
    ASSERT_EQ(m.BrandCount(), 2);
    EXPECT_EQ(m[0].codeText, "ｺｰﾄﾞ");
    EXPECT_EQ(m.FindBrand(7203), 1);

    // Five fields shift every later record by one field.
    m.Load("1,A,100,東証,extra\r\n7203,B,100,東証\r\n");
    ASSERT_EQ(m.BrandCount(), 3);
    EXPECT_EQ(m[1].codeText, "extra");
    EXPECT_EQ(m[1].brandName, "7203");
    EXPECT_EQ(m.FindBrand(7203), std::nullopt);

    // Three fields: the next record's code becomes this record's market.
    m.Load("1,A,100\r\n7203,B,100,東証\r\n");
    ASSERT_EQ(m.BrandCount(), 2);
    EXPECT_EQ(m[0].marketName, "7203");
    EXPECT_EQ(m[1].codeText, "B");

    // A record cut short by the end of the file counts; an extra empty line is a record too.
    m.Load("7203,A");
    ASSERT_EQ(m.BrandCount(), 1);
    EXPECT_EQ(m[0].brandName, "A");
    EXPECT_EQ(m[0].marketName, "");
    m.Load("7203,A,100,東証\r\n\r\n");
    ASSERT_EQ(m.BrandCount(), 2);
    EXPECT_EQ(m[1].codeText, "");
    EXPECT_EQ(m.FindBrand(0), std::nullopt);

    m.Load("");
    EXPECT_EQ(m.BrandCount(), 0);
    EXPECT_EQ(m.FindBrand(7203), std::nullopt);
}

TEST(BrandMaster, CodesMatchByValueAndKeepTheirOwnText) {
    BrandMaster m;
    m.Load("07203,A,100,東証\r\n 7203,B,100,東証\r\n\" 6758 \",C,100,東証\r\n");
    EXPECT_EQ(m.FindBrand(7203), 0);  // the first of two records with the same code wins
    EXPECT_EQ(m[0].codeText, "07203");
    EXPECT_EQ(m[1].codeText, "7203");  // the blank before the field is not part of it
    EXPECT_EQ(m.FindBrand(6758), 2);
    EXPECT_EQ(m[2].codeText, " 6758 ");
}

TEST(BrandMaster, IndexAnswersExactlyAsTheLinearSearch) {
    // Codes that read as numbers in every odd way, duplicates, and codes outside 16 bits.
    const std::string text =
        "7203.0,a,1,東証\n7203,b,1,東証\n7203.5,c,1,東証\n1e3,d,1,東証\n-5,e,1,東証\n"
        "+6758,f,1,東証\n32767,g,1,東証\n-32768,h,1,東証\n32768,i,1,東証\n-32769,j,1,東証\n"
        "65536,k,1,東証\n1000,l,1,東証\n0x10,m,1,東証\ninf,n,1,東証\nnan,o,1,東証\n,p,1,東証\n"
        ".5e1,q,1,東証\n-0,r,1,東証\n0,s,1,東証\n1e400,t,1,東証\n72 03,u,1,東証\n00042,v,1,東証\n"
        "032767,w,1,東証\n99999,x,1,東証\n４２,y,1,東証\n";
    BrandMaster m;
    // Masters without any numeric code, too: every code, negative ones included, finds nothing.
    for (const char* master : {"", "ｺｰﾄﾞ,銘柄名,単位,市場\r\n", "\r\n\r\n", "abc,x,1,東証\r\n,y,1,東証", text.c_str()}) {
        m.Load(master);
        for (int code = -32768; code <= 32767; ++code) {
            const auto c = static_cast<std::int16_t>(code);
            ASSERT_EQ(m.FindBrand(c), LinearFind(m, c)) << "code " << code << " in " << master;
        }
    }
    EXPECT_EQ(m.FindBrand(7203), 0);
    EXPECT_EQ(m.FindBrand(1000), 3);
    EXPECT_EQ(m.FindBrand(5), 16);
    EXPECT_EQ(m.FindBrand(0), 17);
}

TEST(BrandMaster, KeepsEveryRecordOfAMasterPast32767) {
    std::string text;
    for (int i = 0; i < 40000; ++i) text += std::to_string(40000 - i) + ",n" + std::to_string(i) + ",100,東証\r\n";
    text += "7203,last,100,東証\r\n";
    BrandMaster m;
    m.Load(text);
    ASSERT_EQ(m.BrandCount(), 40001);
    EXPECT_EQ(m.FindBrand(7203), 40000 - 7203);
    EXPECT_EQ(m[40000].brandName, "last");
    EXPECT_EQ(m.FindBrand(1), 39999);
    // Codes beyond 16 bits are kept as records but never match a wrapped-around code.
    EXPECT_EQ(m.FindBrand(static_cast<std::int16_t>(-32768)), std::nullopt);
    EXPECT_EQ(m.FindBrand(32767), 40000 - 32767);
}

TEST(BrandMaster, Cp932FilesReadTheSameWithAnyLineEnd) {
    for (const char* name : {"master_crlf.txt", "master_cr.txt", "master_lf.txt"}) {
        SCOPED_TRACE(name);
        const std::string bytes = ReadFile(std::string(NORVALE_TEST_DATA) + "/" + name);
        BrandMaster decodedFirst;
        decodedFirst.Load(Cp932ToUtf8(bytes));
        BrandMaster m;
        m.LoadCp932(bytes);
        ASSERT_EQ(decodedFirst.BrandCount(), m.BrandCount());
        for (int i = 0; i < m.BrandCount(); ++i) {
            EXPECT_EQ(m[i].codeText, decodedFirst[i].codeText);
            EXPECT_EQ(m[i].brandName, decodedFirst[i].brandName);
            EXPECT_EQ(m[i].marketName, decodedFirst[i].marketName);
        }
        ASSERT_EQ(m.BrandCount(), 6);
        EXPECT_EQ(m[0].codeText, "ｺｰﾄﾞ");
        EXPECT_EQ(m.FindBrand(7203), 1);
        EXPECT_EQ(m[2].brandName, "ソニー,グループ");
        EXPECT_EQ(m[3].brandName, "髙島屋");
        EXPECT_EQ(m[4].brandName, "①テスト～商事");
        EXPECT_EQ(m[4].marketName, "JASDAQ");
        EXPECT_EQ(m[5].codeText, "07203");
        EXPECT_EQ(m[5].marketName, "東証");
    }
    // The last byte starts a double-byte character that never ends.
    BrandMaster m;
    m.LoadCp932(ReadFile(std::string(NORVALE_TEST_DATA) + "/master_truncated.txt"));
    ASSERT_EQ(m.BrandCount(), 2);
    EXPECT_EQ(m[1].codeText, "6758");
    EXPECT_EQ(m[1].brandName, "ソ\xEF\xBF\xBD");
    EXPECT_EQ(m.FindBrand(6758), 1);
}

TEST(BrandMaster, StartUpReadsMeiCodeFromTheProgramFolder) {
    FakePlatform none;
    MainWindowLogic empty(none.platform);
    ASSERT_TRUE(empty.StartUp());  // no file: an empty master
    EXPECT_EQ(empty.Master().BrandCount(), 0);

    FakePlatform fp;
    MainWindowLogic frm(fp.platform);
    fp.files.files["/norvale/mei_code.txt"] = Utf8ToCp932("8233,髙島屋,100,東証\r\n");
    ASSERT_TRUE(frm.StartUp());
    ASSERT_EQ(frm.Master().BrandCount(), 1);
    EXPECT_EQ(frm.Master()[0].brandName, "髙島屋");
    EXPECT_EQ(frm.Master().FindBrand(8233), 0);
}

}  // namespace
}  // namespace norvale
