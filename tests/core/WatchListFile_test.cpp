// The watch list file, its import and export commands, and the malformed-line message. How a line
// splits at its commas is fuzz_watch_list's, against the definition, with these cases among its seeds.
#include "watchlist/WatchListFile.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "tests/core/PollingFixture.h"

namespace norvale {
namespace {

const char* const kMaster =
    "7203,トヨタ自動車,100,東証\r\n6758,ソニーグループ,100,東証\r\n8233,髙島屋,100,東証\r\n"
    "1321,日経225連動型上場投資信託,1,大証\r\n2702,日本マクドナルド,100,JASDAQ\r\n"
    "3765,ガンホー,100,HC\r\n13010,五桁,100,東証\r\n1111,末尾空白,100,東証 \r\n2222,海外,100,NYSE\r\n"
    "07201,日産自動車,100,東証\r\n32767,最大,100,東証\r\n130A,新規上場,100,東証\r\n2a5c,小文字,100,HC\r\n";

std::vector<std::string> Codes(const WatchTable& t) {
    std::vector<std::string> out;
    for (int k = 0; k < t.Count(); ++k) out.push_back(t.Entry(k).codeText);
    return out;
}

std::vector<int> Rows(const WatchTable& t) { return {t.RowOrder().begin(), t.RowOrder().end()}; }

// A started window whose master is kMaster; lists are imported through the file dialog.
struct Window : Polling {
    const WatchTable& table = logic.Table();
    Window() : Polling({}, {}, kMaster) {}
    // Imports the file at path; false when the malformed-line message was shown.
    bool Import(const std::string& path) {
        const std::size_t messages = fp.alert.shown.size();
        fp.fileDialog.answers = {path};
        logic.ImportWatchList();
        return fp.alert.shown.size() == messages;
    }
    bool Load(const std::string& utf8Lines) {
        fp.files.files["/w.txt"] = Utf8ToCp932(utf8Lines);
        return Import("/w.txt");
    }
};

using Strings = std::vector<std::string>;

TEST(LoadWatchList, MalformedLineIsReportedWithItsLineAndEmptiesTheList) {
    Window w;
    ASSERT_TRUE(w.Load("6758\r\n8233\r\n1321\r\n2702\r\n"));
    EXPECT_FALSE(w.Load("7203\r\n\r\n,6758\r\n8233\r\n"));
    // The brand taken before the bad line is gone too.
    ASSERT_EQ(std::tuple(w.table.Count(), w.fp.alert.shown.size()), std::tuple(0, 1u));
    EXPECT_EQ(std::tuple(w.fp.alert.shown[0].title, w.fp.alert.shown[0].text),
              std::tuple("Error", "初期設定ファイル読込みエラー\r\nFILE : /w.txt\r\nLINE : 3"));
    // The line number stays right past 32767 lines; empty lines count.
    EXPECT_FALSE(w.Load(std::string(40000, '\n') + "7203\r\n,x\r\n"));
    EXPECT_EQ(w.fp.alert.shown.back().text, "初期設定ファイル読込みエラー\r\nFILE : /w.txt\r\nLINE : 40002");
}

TEST(LoadWatchList, StopsAtTheThousandthBrand) {
    Window w;
    std::string lines;
    for (int i = 0; i < 1000; ++i) lines += (i % 2 ? "6758\r\n" : "7203\r\n");
    lines += "8233\r\n\r\n,bad\r\n8233\r\n8233\r\n";  // lines 1001 to 1005, line 1003 malformed
    lines += std::string(1 << 20, 'x');  // never read: reading ends with the 1000th brand's line
    EXPECT_TRUE(w.Load(lines));
    std::vector<int> fresh(1000);  // a fresh list is shown in slot order
    std::iota(fresh.begin(), fresh.end(), 0);
    EXPECT_EQ(std::tuple(w.table.Count(), w.table.Entry(999).codeText, w.fp.alert.shown.size(), Rows(w.table)),
              std::tuple(1000, "6758", 0u, fresh));
    EXPECT_LE(w.fp.files.bytesRead["/w.txt"], 6000u + w.fp.files.pieceSize);
}

TEST(WatchListCommands, ExportWritesSlotOrderAndImportGivesTheSameSlots) {
    Window w;
    ASSERT_TRUE(w.Load("7201\r\n13010\r\n7203\r\n3765\r\n"));
    w.RankReversedByAPass();  // a sorted display does not change what is written
    w.fp.fileDialog.answers = {"/out.txt"};
    w.logic.ExportWatchList();
    EXPECT_EQ(std::tuple(w.fp.files.files["/out.txt"], w.Panel(StatusPanel::Activity)),
              std::tuple("07201\r\n13010\r\n7203\r\n3765\r\n", "監視銘柄出力終了"));

    // Read back, the same brands in the same slots (any list, fuzz_watch_list), shown in slot order.
    ASSERT_TRUE(w.Import("/out.txt"));
    // Quotes start afresh.
    EXPECT_EQ(std::tuple(Codes(w.table), w.table.Entry(1).topic, Rows(w.table), w.table.Entry(3).lastText),
              std::tuple(Strings{"07201", "13010", "7203", "3765"}, "3010.t", std::vector<int>{0, 1, 2, 3}, ""));

    // A shorter list (here none) clears the old rows, in the table and on the surface; an empty list
    // exports an empty file over the old one, without asking.
    w.fp.tableSurface.ops.clear();
    EXPECT_TRUE(w.Import("/missing.txt"));
    EXPECT_EQ(std::tuple(w.table.Count(), w.FirstDrawn()), std::tuple(0, SurfaceOp::Clear));
    w.fp.fileDialog.answers = {"/out.txt"};
    w.logic.ExportWatchList();
    EXPECT_EQ(std::tuple(w.fp.files.files["/out.txt"], w.fp.alert.shown.size()), std::tuple("", 0u));
}

// Codes with letters beside numbers, in either case: polled under their own topics, ranked by their
// quotes alone, exported as the master spells them.
TEST(WatchListCommands, AMixedListPollsRanksAndExportsLikeANumericOne) {
    Window w;
    ASSERT_TRUE(w.Load("130a\r\n7203\r\n 2A5C ,x\r\n1D00\r\n6758\r\n"));
    for (const auto& [topic, last, prevClose] : {std::tuple{"130A.t", "1,100", "1,000"}, {"7203.t", "2,000", "2,100"},
                                                 {"2A5C.oj", "530", "500"}, {"6758.t", "3,030", "3,000"}}) {
        w.quotes[std::string(topic) + "|現在値"] = last;
        w.quotes[std::string(topic) + "|前日終値"] = prevClose;
    }
    w.ChooseSortKey(2);  // 前日終値乖離率-降順: +10 %, +6 %, -4.8 %, +1 % by their size
    ASSERT_EQ(w.logic.RunPass(), PassExit::Completed);
    EXPECT_EQ(std::tuple(w.RequestsFor("130A.t"), w.RequestsFor("2A5C.oj"), w.ShownCodes()),
              std::tuple(16, 22, Strings{"130A", "2a5c", "7203", "6758"}));
    w.fp.fileDialog.answers = {"/out.txt"};
    w.logic.ExportWatchList();
    EXPECT_EQ(w.fp.files.files["/out.txt"], "130A\r\n7203\r\n2a5c\r\n6758\r\n");
}

TEST(WatchListCommands, CancelChangesNothingAFailedExportSaysSoAndAnImportEndsAWaitingRemoval) {
    Window w;
    ASSERT_TRUE(w.Load("7203\r\n6758\r\n8233\r\n"));
    w.RankReversedByAPass();
    const std::vector<int> sorted = Rows(w.table);
    w.logic.ImportWatchList();  // no answer queued: cancelled
    w.logic.ExportWatchList();
    EXPECT_EQ(std::tuple(Rows(w.table), w.fp.files.files.size()), std::tuple(sorted, 2u));  // the master and the list

    w.fp.files.files["/locked.txt"] = "6758\r\n";
    w.fp.files.unwritable.insert("/locked.txt");
    w.fp.fileDialog.answers = {"/locked.txt"};
    w.logic.ExportWatchList();
    EXPECT_EQ(std::tuple(w.fp.statusBar.Panel(StatusPanel::Activity), w.fp.files.files["/locked.txt"]),
              std::tuple("監視銘柄出力失敗", "6758\r\n"));

    // A removal asked for during a pass that was then stopped.
    w.afterRequest[w.served + 1] = [&] {
        w.Delete(1);
        w.logic.StopPolling();
    };
    ASSERT_EQ(w.logic.RunPass(), PassExit::Stopped);
    ASSERT_TRUE(w.table.MarkedForRemoval(1));
    w.fp.files.files["/new.txt"] = "1321\r\n2702\r\n3765\r\n";
    ASSERT_TRUE(w.Import("/new.txt"));
    EXPECT_EQ(std::tuple(w.table.RemovalMarked(), Codes(w.table)), std::tuple(false, Strings{"1321", "2702", "3765"}));
}

TEST(WatchListCommands, StartUpLoadsEveryBrandOfTheSampleData) {
    FakePlatform fp;
    MainWindowLogic logic(fp.platform);
    const std::string data = std::string(NORVALE_TEST_DATA) + "/../../data/";
    fp.files.files["/norvale/mei_code.txt"] = test::ReadFile(data + "mei_code.txt");
    fp.files.files["/norvale/監視銘柄.txt"] = test::ReadFile(data + "監視銘柄.txt");
    ASSERT_TRUE(logic.StartUp());
    const WatchTable& t = logic.Table();
    std::set<std::string> suffixes;
    for (int k = 0; k < t.Count(); ++k) suffixes.insert(t.Entry(k).marketSuffix);
    EXPECT_EQ(std::tuple(fp.alert.shown.size(), t.Count(), t.Entry(0).brandName, t.Entry(27).topic, suffixes),
              std::tuple(0u, 28, "トヨタ自動車", "2A5C.t", std::set<std::string>{"t", "os", "q", "oj"}));
}

}  // namespace
}  // namespace norvale
