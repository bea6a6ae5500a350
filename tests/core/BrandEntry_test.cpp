// Row selection and brand entry on the table, driven headless through the click and key handlers.
#include "watchlist/BrandEntry.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/MainWindowLogic.h"
#include "platform/KeyCodes.h"
#include "platform/TextCodec.h"
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
    MainWindowLogic logic{fp.platform};

    Table() {
        fp.window.events = &logic;
        fp.files.files["/norvale/mei_code.txt"] = Utf8ToCp932(kMaster);
        EXPECT_TRUE(logic.StartUp());
        fp.tableSurface.ops.clear();
    }
    const WatchTable& T() const { return logic.Table(); }
    void Keys(std::initializer_list<int> codes) {
        for (int c : codes) logic.KeyReleasedOnTable(static_cast<std::int16_t>(c));
    }
    void Type(const std::string& digits) {
        for (char c : digits) Keys({key::kDigit0 + (c - '0')});
    }
    void ClickAt(int y) {
        fp.window.pointerY = y;
        logic.TableClicked();
    }
    // Brands placed straight into the slots, shown in slot order.
    void Watch(const std::vector<std::string>& codes) {
        for (const auto& code : codes) {
            WatchEntry e;
            e.code = static_cast<std::int16_t>(std::stoi(code));
            e.codeText = code;
            e.marketSuffix = "t";
            e.topic = code + ".t";
            ASSERT_TRUE(logic.TableForSetUp().Append(std::move(e)));
        }
    }
    std::vector<std::string> ShownCodes() const {
        std::vector<std::string> codes;
        for (int r = 0; r < T().EntryCount; ++r) codes.push_back(T().entries[T().RowOrder[r]].codeText);
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
    EXPECT_EQ(t.logic.TypedCode(), "1234");  // the fifth digit is dropped
    EXPECT_EQ(t.fp.window.codeBox, "1234");
    t.Keys({key::kEscape});
    EXPECT_EQ(t.fp.window.codeBox, "");

    // Keypad digits count like main-row digits; other keys do nothing.
    t.Keys({96 + 9, 48 + 0, 65, 112, 96 + 4, 57});
    EXPECT_EQ(t.logic.TypedCode(), "9049");
    EXPECT_EQ(t.fp.window.codeBox, "9049");
    t.Keys({key::kEscape, key::kEnter});  // Enter with nothing typed: no drawing, nothing added
    EXPECT_EQ(t.T().EntryCount, 0);
    EXPECT_TRUE(t.fp.tableSurface.ops.empty());
    EXPECT_EQ(t.fp.window.codeBox, "");
}

TEST(BrandEntryAdd, EnterAppendsTheTypedBrandAsTheLastRowEvenTwice) {
    Table t;
    t.Watch({"6758", "9984"});
    WatchTable& table = t.logic.TableForSetUp();
    table.RowOrder[0] = 1;  // a sorted table: the new brand still goes to the end
    table.RowOrder[1] = 0;
    // A stale value in the free slot must not reach the new brand.
    table.entries[2].openText = "2500";
    table.entries[2].open = 2500;

    t.Type("7203");
    EXPECT_EQ(t.fp.window.codeBox, "7203");
    t.Keys({key::kEnter});
    ASSERT_EQ(t.T().EntryCount, 3);
    const WatchEntry& added = t.T().entries[2];
    EXPECT_EQ(added.topic, "7203.t");
    EXPECT_EQ(added.code, 7203);
    EXPECT_EQ(added.codeText, "7203");
    EXPECT_EQ(added.marketSuffix, "t");
    EXPECT_EQ(added.brandName, "トヨタ自動車");
    EXPECT_EQ(added.openText, "");
    EXPECT_EQ(added.open, 0);
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"9984", "6758", "7203"}));
    EXPECT_EQ(t.fp.window.codeBox, "");
    // Cleared, then drawn anew with the new count.
    ASSERT_FALSE(t.fp.tableSurface.ops.empty());
    EXPECT_EQ(t.fp.tableSurface.ops.front().kind, SurfaceOp::Clear);
    EXPECT_EQ(t.fp.statusBar.Panel(StatusPanel::BrandCount), "銘柄数: 3/ 1000");

    // No duplicate check; an addition during a pass goes ahead at once.
    t.fp.events.at[1] = [&] {
        t.Type("7203");
        t.Keys({key::kEnter});
    };
    EXPECT_EQ(t.logic.RunPass(), PassExit::Completed);
    ASSERT_EQ(t.T().EntryCount, 4);
    EXPECT_EQ(t.T().entries[3].topic, "7203.t");

    // Leading zeros in the master: 42 typed finds "0042", whose spelling is kept.
    t.Type("42");
    t.Keys({key::kEnter});
    ASSERT_EQ(t.T().EntryCount, 5);
    EXPECT_EQ(t.T().entries[4].codeText, "0042");
    EXPECT_EQ(t.T().entries[4].topic, "42.q");

    // Not in the master; a market without a suffix: nothing added, nothing drawn.
    for (const char* code : {"9999", "1111"}) {
        t.fp.tableSurface.ops.clear();
        t.Type(code);
        t.Keys({key::kEnter});
        EXPECT_EQ(t.T().EntryCount, 5) << code;
        EXPECT_TRUE(t.fp.tableSurface.ops.empty()) << code;
        EXPECT_EQ(t.fp.window.codeBox, "") << code;
    }
    EXPECT_EQ(t.T().entries[5].codeText, "");
}

TEST(BrandEntryAdd, TheThousandthBrandIsTheLast) {
    Table t;
    t.logic.TableForSetUp().EntryCount = 999;
    t.Type("7203");
    t.Keys({key::kEnter});
    ASSERT_EQ(t.T().EntryCount, 1000);
    EXPECT_EQ(t.T().entries[999].topic, "7203.t");
    EXPECT_EQ(t.T().RowOrder[999], 999);

    t.fp.tableSurface.ops.clear();
    t.Type("6758");
    t.Keys({key::kEnter});
    EXPECT_EQ(t.T().EntryCount, 1000);
    EXPECT_EQ(t.T().entries[999].topic, "7203.t");
    EXPECT_EQ(t.fp.statusBar.Panel(StatusPanel::Activity), "銘柄数上限");
    EXPECT_EQ(t.fp.window.codeBox, "");
    EXPECT_TRUE(t.fp.tableSurface.ops.empty());
}

TEST(BrandEntrySelect, OnlyAClickOnARowSelectsWhatDeleteAndBackspaceRemoveAtOnce) {
    Table t;
    t.Watch({"1301", "1332", "1605", "1801", "1925", "2502"});
    t.Keys({key::kDelete});  // no click yet: ClickY 0 lies on the heading
    t.ClickAt(7 * 12);        // below the rows (where else nothing is selected is DrawTable's)
    EXPECT_EQ(t.logic.View().ClickY, 7 * 12);
    EXPECT_EQ(t.logic.View().SelectedEntry, -1);
    t.Keys({key::kDelete, key::kBackspace});
    EXPECT_EQ(t.T().EntryCount, 6);
    EXPECT_EQ(t.fp.tableSurface.Count(SurfaceOp::Clear), 0);  // a click redraws over the old image

    // Shown in reverse: row 3 holds slot 2 ("1605"), row 4 slot 1 ("1332").
    for (int r = 0; r < 6; ++r) t.logic.TableForSetUp().RowOrder[r] = static_cast<std::int16_t>(5 - r);
    t.ClickAt(50);  // lines 48 to 59
    EXPECT_EQ(t.logic.View().SelectedEntry, 2);
    EXPECT_EQ(t.BandOf(3), kYellow);
    t.fp.tableSurface.ops.clear();
    t.Keys({key::kDelete});
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"2502", "1925", "1801", "1332", "1301"}));
    EXPECT_EQ(t.fp.tableSurface.ops.front().kind, SurfaceOp::Clear);
    EXPECT_EQ(t.fp.statusBar.Panel(StatusPanel::BrandCount), "銘柄数: 5/ 1000");
    // The brand that moved up into row 3 is the selection now, and goes next.
    EXPECT_EQ(t.T().entries[t.logic.View().SelectedEntry].codeText, "1332");
    t.Type("12");
    t.Keys({key::kBackspace});  // Backspace removes too, and keeps the digits
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"2502", "1925", "1801", "1301"}));
    EXPECT_EQ(t.fp.window.codeBox, "12");
    t.Keys({key::kDelete});
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"2502", "1925", "1801"}));
    EXPECT_EQ(t.logic.View().SelectedEntry, -1);  // nothing left in row 3
    t.Keys({key::kDelete});
    EXPECT_EQ(t.T().EntryCount, 3);
}

// The user's actions run where the pass lets pending events run: before brand 0 at the first
// call, inside the first request at the second.
TEST(BrandEntryRemoveDuringPass, TheRowIsMarkedAndEveryKeyWaitsForTheCompletedPass) {
    Table t;
    t.Watch({"1301", "1332", "1605"});
    for (int r = 0; r < 3; ++r) t.logic.TableForSetUp().RowOrder[r] = static_cast<std::int16_t>(2 - r);  // sorted
    t.Type("72");
    t.ClickAt(30);  // row 1
    ASSERT_EQ(t.logic.View().SelectedEntry, 1);

    bool ran = false;
    t.fp.events.at[2] = [&] {
        ran = true;
        ASSERT_EQ(t.logic.Polling().Phase(), PollingPhase::Running);
        t.fp.tableSurface.ops.clear();
        t.Keys({key::kDelete});
        EXPECT_EQ(t.T().removal, PendingRemoval::AfterPass);
        EXPECT_EQ(t.T().DeleteTarget, 1);
        EXPECT_EQ(t.T().EntryCount, 3);
        EXPECT_EQ(t.fp.tableSurface.ops.front().kind, SurfaceOp::Clear);
        EXPECT_EQ(t.BandOf(1), kBlack);
        EXPECT_EQ(t.logic.View().SelectedEntry, -1);  // a marked row is not selected

        t.fp.window.codeBox = "untouched";
        t.Keys({48 + 0, 96 + 3, key::kEnter, key::kEscape, key::kDelete, key::kBackspace});
        EXPECT_EQ(t.logic.TypedCode(), "72");
        EXPECT_EQ(t.fp.window.codeBox, "untouched");
        EXPECT_EQ(t.T().EntryCount, 3);
        t.ClickAt(42);  // a click still moves the yellow row, but removes nothing
        EXPECT_EQ(t.logic.View().SelectedEntry, 0);
        EXPECT_EQ(t.T().DeleteTarget, 1);
    };
    bool ranLater = false;
    t.fp.events.at[20] = [&] {  // later in the pass: still waiting
        ranLater = true;
        EXPECT_EQ(t.T().removal, PendingRemoval::AfterPass);
        t.Keys({50});
        EXPECT_EQ(t.logic.TypedCode(), "72");
    };
    EXPECT_EQ(t.logic.RunPass(), PassExit::Completed);
    ASSERT_TRUE(ran && ranLater);
    EXPECT_EQ(t.T().removal, PendingRemoval::None);
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"1605", "1301"}));
    t.Type("03");
    EXPECT_EQ(t.fp.window.codeBox, "7203");
    t.Keys({key::kEnter});
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"1605", "1301", "7203"}));
}

}  // namespace
}  // namespace norvale
