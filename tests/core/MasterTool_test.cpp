// norvale-master: the exchange's list of listed issues, in each encoding a spreadsheet saves it in,
// to a brand master that Norvale's own reader reads back; and what it says when it writes nothing.
#include "tools/master/MasterTool.h"

#include <gtest/gtest.h>

#include "platform/TextCodec.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tools/master/ListedIssues.h"
#include "watchlist/BrandMaster.h"
#include "watchlist/NumericText.h"

namespace norvale::master {
namespace {

const char* const kSections[] = {"プライム（内国株式）", "スタンダード（内国株式）", "グロース（内国株式）", "ETF・ETN",
                                 "REIT・ベンチャーファンド・カントリーファンド・インフラファンド", "PRO Market",
                                 "出資証券"};

// A cell as a spreadsheet writes it: quoted when it holds a comma or a quote, quotes doubled.
std::string Cell(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

struct Row { std::string code, name; };

// A list shaped like the exchange's, in UTF-8: its ten columns, 4,000 brands, every section, numeric
// codes and codes with letters, names with commas, quotes, full-width and half-width kana.
std::string ExchangeList(std::vector<Row>& rows) {
    const char* const names[] = {"トヨタ自動車", "ｿﾆｰｸﾞﾙｰﾌﾟ", "ＡＢＣ,ホールディングス", "\"ダブル\"引用",
                                 "髙島屋①", "ハルカゼ創薬", " 先頭空白"};
    std::string list = "日付,コード,銘柄名,市場・商品区分,33業種コード,33業種区分,17業種コード,17業種区分,規模コード,規模区分\r\n";
    for (int i = 0; i < 4000; ++i) {
        // Every fifth brand a new listing: 130A, 131C, … and later forms such as 2A4D.
        const std::string lettered = i % 10 == 5 ? std::to_string(130 + i / 10) + "ACDFGHJKLMNPRSTUWXY"[i % 19]
                                                 : std::to_string(1 + i % 9) + "ACDFGHJKLMNPRSTUWXY"[i / 10 % 19] +
                                                       std::to_string(i / 190 % 10) + "ACDFGHJKLMNPRSTUWXY"[i % 19];
        rows.push_back({i % 5 == 0 ? lettered : std::to_string(1300 + i * 2), names[i % 7] + std::to_string(i)});
        list += "20261130," + rows.back().code + "," + Cell(rows.back().name) + "," + kSections[i % 7] +
                ",50,水産・農林業,1,食品 ,7,TOPIX Small 2\r\n";
    }
    return list;
}

TEST(MasterTool, AFullListInEveryEncodingReadsBackThroughTheMastersReaderRowByRow) {
    std::vector<Row> rows;
    const std::string utf8 = ExchangeList(rows);
    for (const std::string& bytes : {Utf8ToCp932(utf8), "\xEF\xBB\xBF" + utf8, utf8}) {
        const ListConversion c = ConvertList(bytes);
        ASSERT_EQ(c.problem, ListProblem::None);
        EXPECT_EQ(c.brands, 4000);
        EXPECT_EQ(c.quotesReplaced, 571 * 2);  // two in every seventh name
        EXPECT_EQ(c.noCode + c.otherCode + c.duplicates + c.charsReplaced, 0);
        BrandMaster m;
        m.LoadCp932(c.master);
        ASSERT_EQ(m.BrandCount(), 4000);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::optional<int> found = m.FindBrand(ReadBrandCode(rows[i].code, CodeForm::Typed).value());
            ASSERT_EQ(found, static_cast<int>(i)) << rows[i].code;
            std::string name = rows[i].name;
            if (name[0] == '"') name.replace(name.find('"', 1), 1, "”").replace(0, 1, "”");
            EXPECT_EQ(m[*found].codeText + ' ' + m[*found].brandName, rows[i].code + ' ' + name);
        }
    }
}

TEST(MasterTool, FindsTheHeadingsAnywhereAndSaysWhatItSkippedAndReplaced) {
    FakeFileSystem files;
    files.files["/list.csv"] =
        "東証上場銘柄一覧\n\n市場・商品区分,規模,銘柄名, コード \n"
        "ETF・ETN,,\"日経,ETF\",1321\nREIT・ベンチャーファンド,,リート,8951\nグロース（内国株式）,,新規,130a\n"
        "PRO Market,,é 葛\xF3\xA0\x84\x80,2A5C\nプライム（内国株式）,,コードなし,\n,,,\nプライム（内国株式）,,重複,1321\n"
        "プライム（内国株式）,,形でない,130B\nプライム（内国株式）,,五桁過ぎ,99999\n";
    const ToolOutcome done = RunMasterTool(files, {"norvale-master", "/list.csv"});
    EXPECT_EQ(done.exitCode, 0);
    EXPECT_EQ(done.text,
              "/norvale/mei_code.txt に 4 銘柄を書き出しました。\n"
              "読み飛ばした行 4（コードなし 1、コードの形でない 2、重複 1）。CP932 にない文字を 〓 に置き換え 2。\n");
    EXPECT_EQ(Cp932ToUtf8(files.files["/norvale/mei_code.txt"]),
              "1321,\"日経,ETF\",1,東証\r\n8951,リート,1,東証\r\n130a,新規,100,東証\r\n2A5C,〓 葛,100,東証\r\n");
    // --output elsewhere; a quote in a name is counted.
    files.files["/q.csv"] = "コード,銘柄名,市場・商品区分\r\n7203,\"\"\"引用\"\"\",プライム（内国株式）\r\n";
    EXPECT_EQ(RunMasterTool(files, {"norvale-master", "--output", "/out.txt", "/q.csv"}).text,
              "/out.txt に 1 銘柄を書き出しました。\n銘柄名の \" を ” に置き換え 2。\n");
    EXPECT_EQ(files.files["/out.txt"], Utf8ToCp932("7203,”引用”,100,東証\r\n"));
}

TEST(MasterTool, WritesNothingAndSaysWhyForWhatIsNotTheListOrCannotBeWritten) {
    const std::string list = "コード,銘柄名,市場・商品区分\r\n7203,トヨタ自動車,プライム（内国株式）\r\n";
    struct Case { std::vector<std::string> args; std::string bytes; int exitCode; std::string says; };
    const Case cases[] = {
        {{"/list.csv"}, "日付,コード,銘柄\r\n1,7203,トヨタ\r\n", 1,
         "「/list.csv」は東証上場銘柄一覧ではありません（見出し「コード」「銘柄名」「市場・商品区分」の行がありません）。"},
        {{"/list.csv"}, "", 1, "「/list.csv」は空です。"},
        {{"/list.csv"}, "コード,銘柄名,市場・商品区分\r\n,名前だけ,\r\n", 1, "「/list.csv」にはコードのある行がありません。"},
        {{"/missing.csv"}, "", 1, "「/missing.csv」を読めません（ファイルがないか、開けません）。"},
        {{"/fifo"}, "", 1, "「/fifo」を読めません"},
        {{"/list.csv"}, list + std::string(kMaxListBytes, ' '), 1, "「/list.csv」は大きすぎます（8 MiB まで）。"},
        {{"/list.csv", "--output", "/readonly/mei_code.txt"}, list, 1,
         "「/readonly/mei_code.txt」に書き込めません（書き込めないフォルダーか、ほかのプログラムが開いています）。\n"
         "/readonly/mei_code.txt は変えていません。"},
        {{}, list, 2, "使い方: norvale-master 東証上場銘柄一覧.csv [--output 出力ファイル]\n"},
    };
    for (const Case& c : cases) {
        FakeFileSystem files;
        files.files["/norvale/mei_code.txt"] = files.files["/readonly/mei_code.txt"] = "7203,old,100,東証\r\n";
        files.unwritable = {"/readonly/mei_code.txt"};
        files.files["/list.csv"] = files.files["/fifo"] = c.bytes;
        files.notRegular = {"/fifo"};
        std::vector<std::string> args = {"norvale-master"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ToolOutcome outcome = RunMasterTool(files, args);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.says;
        EXPECT_NE(outcome.text.find(c.says), std::string::npos) << outcome.text;
        EXPECT_EQ(files.files["/norvale/mei_code.txt"], "7203,old,100,東証\r\n") << c.says;
        const bool toTheProgramFolder = c.exitCode == 1 && c.args.size() == 1;
        EXPECT_TRUE(!toTheProgramFolder || outcome.text.ends_with("。\n/norvale/mei_code.txt は変えていません。\n"));
    }
}

}  // namespace
}  // namespace norvale::master
