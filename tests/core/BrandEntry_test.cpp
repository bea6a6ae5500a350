// Row selection and brand entry on the table, driven headless through the click and key handlers.
#include "watchlist/BrandEntry.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/MainWindowLogic.h"
#include "platform/fake/FakePlatform.h"

namespace norvale {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kYellow{255, 255, 0};

const char* const kMaster =
    "7203,トヨタ自動車,100,東証\r\n"
    "6758,ソニーグループ,100,東証\r\n"
    "0042,ゼロ始まり,100,JASDAQ\r\n"
    "1111,海外上場,100,NYSE\r\n";

struct Table {
    FakePlatform fp;
    MainWindowLogic frm{fp.platform};

    Table() {
        fp.window.events = &frm;
        EXPECT_TRUE(frm.StartUp());
        frm.master.Load(kMaster);
        fp.tableSurface.ops.clear();
    }
    void Key(int code) { frm.Picture1_KeyUp(static_cast<std::int16_t>(code), 0); }
    void Keys(std::initializer_list<int> codes) {
        for (int c : codes) Key(c);
    }
    void Type(const std::string& digits) {
        for (char c : digits) Key(kKeyDigit0 + (c - '0'));
    }
    void ClickAt(int y) {
        fp.window.pointerY = y;
        frm.TableClicked();
    }
    // Brands placed straight into the slots, shown in slot order.
    void Watch(const std::vector<std::string>& codes) {
        for (const auto& code : codes) {
            const int b = frm.table.EntryCount;
            auto& e = frm.table.entries[b];
            e.code = static_cast<std::int16_t>(std::stoi(code));
            e.codeText = code;
            e.marketSuffix = "t";
            e.topic = code + ".t";
            frm.table.RowOrder[b] = static_cast<std::int16_t>(b);
            frm.table.EntryCount = static_cast<std::int16_t>(b + 1);
        }
    }
    std::vector<std::string> ShownCodes() const {
        std::vector<std::string> codes;
        for (int r = 0; r < frm.table.EntryCount; ++r) codes.push_back(frm.table.entries[frm.table.RowOrder[r]].codeText);
        return codes;
    }
    // The band colour of display row r at the latest drawing, if it was drawn.
    std::optional<Rgb> BandOf(int r) const {
        std::optional<Rgb> colour;
        for (const auto& op : fp.tableSurface.ops) {
            if (op.kind == SurfaceOp::Fill && op.x1 == -1 && op.y1 == 12 * (r + 1) - 1) colour = op.colour;
        }
        return colour;
    }
};

TEST(BrandEntryKeys, DigitsBuildAFourDigitCodeThatEscOrAnEmptyEnterLeaves) {
    Table t;
    t.Type("12345");
    EXPECT_EQ(t.frm.CodeEntry, "1234");  // the fifth digit is dropped
    EXPECT_EQ(t.fp.window.text1, "1234");

    t.Key(27);
    EXPECT_EQ(t.frm.CodeEntry, "");
    EXPECT_EQ(t.fp.window.text1, "");

    // Keypad digits count like main-row digits; other keys do nothing.
    t.Keys({96 + 9, 48 + 0, 65, 112, 96 + 4, 57});
    EXPECT_EQ(t.frm.CodeEntry, "9049");
    EXPECT_EQ(t.fp.window.text1, "9049");
    t.Key(27);

    // Enter with nothing typed: no drawing, nothing added.
    t.Key(13);
    EXPECT_EQ(t.frm.table.EntryCount, 0);
    EXPECT_TRUE(t.fp.tableSurface.ops.empty());
    EXPECT_EQ(t.fp.window.text1, "");
}

TEST(BrandEntryAdd, EnterAppendsTheTypedBrandAsTheLastRowEvenTwice) {
    Table t;
    t.Watch({"6758", "9984"});
    t.frm.table.RowOrder[0] = 1;  // a sorted table: the new brand still goes to the end
    t.frm.table.RowOrder[1] = 0;
    // A stale value in the free slot must not reach the new brand.
    t.frm.table.entries[2].openText = "2500";
    t.frm.table.entries[2].open = 2500;

    t.Type("7203");
    EXPECT_EQ(t.fp.window.text1, "7203");
    t.Key(13);
    ASSERT_EQ(t.frm.table.EntryCount, 3);
    const WatchEntry& added = t.frm.table.entries[2];
    EXPECT_EQ(added.topic, "7203.t");
    EXPECT_EQ(added.code, 7203);
    EXPECT_EQ(added.codeText, "7203");
    EXPECT_EQ(added.marketSuffix, "t");
    EXPECT_EQ(added.brandName, "トヨタ自動車");
    EXPECT_EQ(added.openText, "");
    EXPECT_EQ(added.open, 0);
    EXPECT_EQ(t.frm.table.RowOrder[2], 2);
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"9984", "6758", "7203"}));
    EXPECT_EQ(t.frm.CodeEntry, "");
    EXPECT_EQ(t.fp.window.text1, "");
    // Cleared, then drawn anew with the new count.
    ASSERT_FALSE(t.fp.tableSurface.ops.empty());
    EXPECT_EQ(t.fp.tableSurface.ops.front().kind, SurfaceOp::Clear);
    EXPECT_EQ(t.fp.statusBar.Panel(StatusPanel::BrandCount), "銘柄数: 3/ 1000");

    // No duplicate check; an addition during a pass goes ahead at once.
    t.frm.polling.RefreshState = 1;
    t.Type("7203");
    t.Key(13);
    ASSERT_EQ(t.frm.table.EntryCount, 4);
    EXPECT_EQ(t.frm.table.entries[3].topic, "7203.t");
    EXPECT_EQ(t.frm.table.DeletePending, 0);

    // Leading zeros in the master: 42 typed finds "0042", whose spelling is kept.
    t.Type("42");
    t.Key(13);
    ASSERT_EQ(t.frm.table.EntryCount, 5);
    EXPECT_EQ(t.frm.table.entries[4].codeText, "0042");
    EXPECT_EQ(t.frm.table.entries[4].topic, "42.q");
}

TEST(BrandEntryAdd, CodesThatCannotBeWatchedAddNothingAndDrawNothing) {
    Table t;
    t.Watch({"6758"});
    for (const char* code : {"9999", "1111"}) {  // not in the master; a market without a suffix
        t.Type(code);
        t.Key(13);
        EXPECT_EQ(t.frm.table.EntryCount, 1) << code;
        EXPECT_TRUE(t.fp.tableSurface.ops.empty()) << code;
        EXPECT_EQ(t.frm.CodeEntry, "") << code;
        EXPECT_EQ(t.fp.window.text1, "") << code;
    }
    EXPECT_EQ(t.frm.table.entries[1].codeText, "");
}

TEST(BrandEntryAdd, TheThousandthBrandIsTheLast) {
    Table t;
    t.frm.table.EntryCount = 999;
    t.Type("7203");
    t.Key(13);
    ASSERT_EQ(t.frm.table.EntryCount, 1000);
    EXPECT_EQ(t.frm.table.entries[999].topic, "7203.t");
    EXPECT_EQ(t.frm.table.RowOrder[999], 999);

    t.fp.tableSurface.ops.clear();
    t.Type("6758");
    t.Key(13);
    EXPECT_EQ(t.frm.table.EntryCount, 1000);
    EXPECT_EQ(t.frm.table.entries[999].topic, "7203.t");
    EXPECT_EQ(t.fp.statusBar.Panel(StatusPanel::Activity), "銘柄数上限");
    EXPECT_EQ(t.frm.CodeEntry, "");
    EXPECT_EQ(t.fp.window.text1, "");
    EXPECT_TRUE(t.fp.tableSurface.ops.empty());
}

TEST(BrandEntrySelect, AClickOnTheHeadingOrBelowTheRowsSelectsNothingToRemove) {
    Table t;
    t.Watch({"1301", "1332", "1605"});
    t.Key(46);  // no click yet: ClickY 0 lies on the heading
    EXPECT_EQ(t.frm.table.EntryCount, 3);

    for (int y : {0, 11, 48, 600}) {  // heading; the heading's last line; below row 2; below the surface
        t.ClickAt(y);
        EXPECT_EQ(t.frm.view.ClickY, y);
        EXPECT_EQ(t.frm.view.SelectedEntry, -1) << y;
        t.Key(46);
        t.Key(8);
        EXPECT_EQ(t.frm.table.EntryCount, 3) << y;
    }
    // A click redraws over the old image.
    EXPECT_EQ(t.fp.tableSurface.Count(SurfaceOp::Clear), 0);
}

TEST(BrandEntrySelect, AClickAtFiftySelectsRowThreeAndDeleteRemovesItAtOnce) {
    Table t;
    t.Watch({"1301", "1332", "1605", "1801", "1925", "2502"});
    // Shown in reverse: row 3 holds slot 2 ("1605"), row 4 slot 1 ("1332").
    for (int r = 0; r < 6; ++r) t.frm.table.RowOrder[r] = static_cast<std::int16_t>(5 - r);

    t.ClickAt(50);  // lines 48 to 59
    EXPECT_EQ(t.frm.view.ClickY, 50);
    EXPECT_EQ(t.frm.view.SelectedEntry, 2);
    EXPECT_EQ(t.BandOf(3), kYellow);

    t.fp.tableSurface.ops.clear();
    t.Key(46);
    EXPECT_EQ(t.frm.table.EntryCount, 5);
    EXPECT_EQ(t.frm.table.DeletePending, 0);
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"2502", "1925", "1801", "1332", "1301"}));
    EXPECT_EQ(t.fp.tableSurface.ops.front().kind, SurfaceOp::Clear);
    // The brand that moved up into row 3 is the selection now, and goes next.
    EXPECT_EQ(t.frm.table.entries[t.frm.view.SelectedEntry].codeText, "1332");
    t.Key(46);
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"2502", "1925", "1801", "1301"}));
    t.Key(46);
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"2502", "1925", "1801"}));
    EXPECT_EQ(t.frm.view.SelectedEntry, -1);  // nothing left in row 3
    t.Key(46);
    EXPECT_EQ(t.frm.table.EntryCount, 3);
}

TEST(BrandEntrySelect, BackspaceRemovesTheSelectionAndKeepsTheDigits) {
    Table t;
    t.Watch({"1301", "1332"});
    t.Type("12");
    t.Key(8);  // nothing selected yet
    EXPECT_EQ(t.frm.table.EntryCount, 2);
    EXPECT_EQ(t.frm.CodeEntry, "12");

    t.ClickAt(12);  // first line of row 0
    EXPECT_EQ(t.frm.view.SelectedEntry, 0);
    t.Key(8);
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"1332"}));
    EXPECT_EQ(t.frm.CodeEntry, "12");
    EXPECT_EQ(t.fp.window.text1, "12");
}

// The user's actions run where the pass lets pending events run: before brand 0 at the first
// call, inside the first request at the second.
TEST(BrandEntryRemoveDuringPass, TheRowIsMarkedAndEveryKeyWaitsForTheCompletedPass) {
    Table t;
    t.Watch({"1301", "1332", "1605"});
    t.Type("72");
    t.ClickAt(30);  // row 1
    ASSERT_EQ(t.frm.view.SelectedEntry, 1);

    bool ran = false;
    t.fp.events.at[2] = [&] {
        ran = true;
        ASSERT_EQ(t.frm.polling.RefreshState, 1);
        t.fp.tableSurface.ops.clear();
        t.Key(46);
        EXPECT_EQ(t.frm.table.DeletePending, 1);
        EXPECT_EQ(t.frm.table.DeleteTarget, 1);
        EXPECT_EQ(t.frm.table.EntryCount, 3);
        EXPECT_EQ(t.fp.tableSurface.ops.front().kind, SurfaceOp::Clear);
        EXPECT_EQ(t.BandOf(1), kBlack);
        EXPECT_EQ(t.frm.view.SelectedEntry, -1);  // a marked row is not selected

        t.fp.window.text1 = "untouched";
        t.Keys({48 + 0, 96 + 3, 13, 27, 46, 8});
        EXPECT_EQ(t.frm.CodeEntry, "72");
        EXPECT_EQ(t.fp.window.text1, "untouched");
        EXPECT_EQ(t.frm.table.EntryCount, 3);
        t.ClickAt(42);  // a click still moves the yellow row, but removes nothing
        EXPECT_EQ(t.frm.view.SelectedEntry, 2);
        EXPECT_EQ(t.frm.table.DeleteTarget, 1);
    };
    bool ranLater = false;
    t.fp.events.at[20] = [&] {  // later in the pass: still waiting
        ranLater = true;
        EXPECT_EQ(t.frm.table.DeletePending, 1);
        t.Key(50);
        EXPECT_EQ(t.frm.CodeEntry, "72");
    };
    EXPECT_EQ(t.frm.RefreshPass(), PassExit::Completed);
    ASSERT_TRUE(ran && ranLater);
    EXPECT_EQ(t.frm.table.DeletePending, 0);
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"1301", "1605"}));
    t.Type("03");
    EXPECT_EQ(t.fp.window.text1, "7203");
    t.Key(13);
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"1301", "1605", "7203"}));
}

TEST(BrandEntryRemoveDuringPass, AStopLeavesTheRowMarkedUntilALaterPassCompletes) {
    Table t;
    t.Watch({"1301", "1332", "1605"});
    t.ClickAt(12);
    bool ran = false;
    t.fp.events.at[2] = [&] {
        ran = true;
        t.Key(46);
        EXPECT_EQ(t.frm.table.DeletePending, 1);
        t.frm.StopPolling();  // "RSS停止"
        t.Key(46);                   // ignored while the pass winds down
    };
    EXPECT_EQ(t.frm.RefreshPass(), PassExit::Stopped);
    ASSERT_TRUE(ran);
    EXPECT_EQ(t.frm.polling.RefreshState, 0);
    EXPECT_EQ(t.frm.table.DeletePending, 1);

    t.Type("7203");
    t.Key(13);
    t.Key(46);
    EXPECT_EQ(t.frm.CodeEntry, "");
    EXPECT_EQ(t.frm.table.EntryCount, 3);
    EXPECT_EQ(t.frm.table.DeletePending, 1);
    t.frm.DrawTable();
    EXPECT_EQ(t.BandOf(0), kBlack);

    // Polling runs again and a pass completes.
    t.fp.events.at.clear();
    t.fp.events.calls = 0;
    EXPECT_EQ(t.frm.RefreshPass(), PassExit::Completed);
    EXPECT_EQ(t.frm.table.DeletePending, 0);
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"1332", "1605"}));
    t.Type("1");
    EXPECT_EQ(t.fp.window.text1, "1");
}

TEST(BrandEntryRemove, AfterAStopRequestARemovalNoLongerWaits) {
    Table t;
    t.Watch({"1301", "1332"});
    t.ClickAt(24);  // row 1
    t.frm.polling.RefreshState = 2;
    t.Key(46);
    EXPECT_EQ(t.frm.table.DeletePending, 0);
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"1301"}));
}

}  // namespace
}  // namespace norvale
