// Row selection and brand entry on the table, driven headless through the click and key handlers.
// Which market a code is watched on, and which codes cannot be, is the watch list's test (both
// fill the entry alike).
#include "watchlist/BrandEntry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/PollingFixture.h"

namespace norvale {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kYellow{255, 255, 0};

// Started with a master, the brands `codes` watched on "t"; shown in reverse order if `reversed`
// (a ranking by a rate that the pass of the set-up gives them, rising with the slot).
struct EntryTable : Polling {
    explicit EntryTable(const std::vector<std::string>& codes = {}, bool reversed = false)
        : Polling(codes, {}, "7203,トヨタ自動車,100,東証\r\n6758,ソニーグループ,100,東証\r\n1111,海外上場,100,NYSE\r\n"
                             "130a,新規上場,100,東証\r\n") {
        if (reversed) {
            for (int k = 0; k < Table().Count(); ++k) quotes[Entry(k).topic + "|現在値"] = std::to_string(101 + k);
            ChooseSortKey(2);
            EXPECT_EQ(logic.RunPass(), PassExit::Completed);
        }
        fp.tableSurface.ops.clear();
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

TEST(BrandEntryKeys, DigitsAndLettersBuildAFourCharacterCodeThatEscOrAnEmptyEnterLeaves) {
    EntryTable t;
    t.Type("12345");
    EXPECT_EQ(t.logic.TypedCode(), "1234");  // the fifth digit is dropped
    EXPECT_EQ(t.fp.window.codeBox, "1234");
    t.Keys({key::kEscape});
    EXPECT_EQ(t.fp.window.codeBox, "");

    // Keypad digits count like main-row digits, letter keys (A to Z) type capitals; other keys do nothing.
    t.Keys({96 + 9, 48 + 0, 186, 112, 64, 91, 90, 65, 57});
    EXPECT_EQ(t.logic.TypedCode(), "90ZA");
    EXPECT_EQ(t.fp.window.codeBox, "90ZA");
    t.Keys({key::kEscape, key::kEnter});  // Enter with nothing typed: no drawing, nothing added
    EXPECT_EQ(t.Table().Count(), 0);
    EXPECT_TRUE(t.fp.tableSurface.ops.empty());
    EXPECT_EQ(t.fp.window.codeBox, "");
}

TEST(BrandEntryAdd, EnterAppendsTheTypedBrandAsTheLastRowEvenTwiceUpToTheThousandth) {
    EntryTable t({"6758", "9984", "1301"}, true);
    t.Delete(2);  // the freed slot held quotes; none of them may reach the new brand
    ASSERT_EQ(t.ShownCodes(), (std::vector<std::string>{"9984", "6758"}));  // a sorted table

    t.Type("7203");
    EXPECT_EQ(t.fp.window.codeBox, "7203");
    t.fp.tableSurface.ops.clear();
    t.Keys({key::kEnter});
    ASSERT_EQ(t.Table().Count(), 3);
    EXPECT_EQ(t.Entry(2).topic, "7203.t");
    EXPECT_EQ(t.Entry(2).brandName, "トヨタ自動車");
    EXPECT_EQ(t.Entry(2).openText, "");
    EXPECT_EQ(t.Entry(2).open, 0);
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"9984", "6758", "7203"}));
    EXPECT_EQ(t.fp.window.codeBox, "");
    // Cleared, then drawn anew with the new count.
    ASSERT_FALSE(t.fp.tableSurface.ops.empty());
    EXPECT_EQ(t.fp.tableSurface.ops.front().kind, SurfaceOp::Clear);
    EXPECT_EQ(t.Panel(StatusPanel::BrandCount), "銘柄数: 3/ 1000");

    // No duplicate check; an addition during a pass goes ahead at once.
    t.fp.events.at[t.fp.events.calls + 1] = [&] { t.Add("7203"); };
    EXPECT_EQ(t.logic.RunPass(), PassExit::Completed);
    ASSERT_EQ(t.Table().Count(), 4);
    EXPECT_EQ(t.Entry(3).topic, "7203.t");

    // Not in the master, a market without a suffix, letters where a code has none or not in use:
    // nothing added, nothing drawn.
    for (const char* code : {"9999", "1111", "130B", "13A0", "A130", "1D00"}) {
        t.fp.tableSurface.ops.clear();
        t.Add(code);
        EXPECT_EQ(t.Table().Count(), 4) << code;
        EXPECT_TRUE(t.fp.tableSurface.ops.empty()) << code;
        EXPECT_EQ(t.fp.window.codeBox, "") << code;
    }
    // A code with letters, shown as the master spells it.
    t.Add("130A");
    EXPECT_EQ(t.Entry(4).topic + ' ' + t.Entry(4).codeText, "130A.t 130a");

    // The thousandth brand is the last.
    std::string lines;
    for (int k = 0; k < 999; ++k) lines += "6758\r\n";
    t.fp.files.files["/999.txt"] = lines;
    t.fp.fileDialog.answers = {"/999.txt"};
    t.logic.ImportWatchList();
    t.Add("7203");
    ASSERT_EQ(t.Table().Count(), 1000);
    EXPECT_EQ(t.Entry(999).topic, "7203.t");
    EXPECT_EQ(t.Table().SlotInRow(999), 999);

    t.fp.tableSurface.ops.clear();
    t.Add("6758");
    EXPECT_EQ(t.Table().Count(), 1000);
    EXPECT_EQ(t.Entry(999).topic, "7203.t");
    EXPECT_EQ(t.Panel(StatusPanel::Activity), "銘柄数上限");
    EXPECT_EQ(t.fp.window.codeBox, "");
    EXPECT_TRUE(t.fp.tableSurface.ops.empty());
}

// Where a click selects nothing is DrawTable's test; here, what Delete and Backspace do with it.
TEST(BrandEntrySelect, OnlyAClickOnARowSelectsWhatDeleteAndBackspaceRemoveAtOnce) {
    EntryTable t({"1301", "1332", "1605", "1801", "1925", "2502"}, true);  // row 3 holds slot 2 ("1605")
    t.Keys({key::kDelete});  // no click yet: ClickY 0 lies on the heading
    t.ClickAt(7 * 12);        // below the rows
    EXPECT_EQ(t.logic.Selection().ClickY(), 7 * 12);
    EXPECT_EQ(t.logic.Selection().Entry(), -1);
    t.Keys({key::kDelete, key::kBackspace});
    EXPECT_EQ(t.Table().Count(), 6);
    EXPECT_EQ(t.fp.tableSurface.Count(SurfaceOp::Clear), 0);  // a click redraws over the old image

    t.ClickAt(50);  // lines 48 to 59
    EXPECT_EQ(t.logic.Selection().Entry(), 2);
    EXPECT_EQ(t.BandOf(3), kYellow);
    t.fp.tableSurface.ops.clear();
    t.Keys({key::kDelete});
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"2502", "1925", "1801", "1332", "1301"}));
    EXPECT_EQ(t.fp.tableSurface.ops.front().kind, SurfaceOp::Clear);
    EXPECT_EQ(t.Panel(StatusPanel::BrandCount), "銘柄数: 5/ 1000");
    // The brand that moved up into row 3 is the selection now, and goes next.
    EXPECT_EQ(t.Entry(t.logic.Selection().Entry()).codeText, "1332");
    t.Type("12");
    t.Keys({key::kBackspace});  // Backspace removes too, and keeps the digits
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"2502", "1925", "1801", "1301"}));
    EXPECT_EQ(t.fp.window.codeBox, "12");
    t.Keys({key::kDelete});
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"2502", "1925", "1801"}));
    EXPECT_EQ(t.logic.Selection().Entry(), -1);  // nothing left in row 3
    t.Keys({key::kDelete});
    EXPECT_EQ(t.Table().Count(), 3);
}

// The user's actions run where the pass lets pending events run: before brand 0 at the first
// call, inside the first request at the second.
TEST(BrandEntryRemoveDuringPass, TheRowIsMarkedAndEveryKeyWaitsForTheCompletedPass) {
    EntryTable t({"1301", "1332", "1605"}, true);
    t.Type("72");
    t.ClickAt(30);  // row 1
    ASSERT_EQ(t.logic.Selection().Entry(), 1);

    bool ran = false;
    const int calls = t.fp.events.calls;
    t.fp.events.at[calls + 2] = [&] {
        ran = true;
        ASSERT_EQ(t.State().Phase(), PollingPhase::Running);
        t.fp.tableSurface.ops.clear();
        t.Keys({key::kDelete});
        EXPECT_TRUE(t.Table().MarkedForRemoval(1));
        EXPECT_EQ(t.Table().Count(), 3);
        EXPECT_EQ(t.fp.tableSurface.ops.front().kind, SurfaceOp::Clear);
        EXPECT_EQ(t.BandOf(1), kBlack);
        EXPECT_EQ(t.logic.Selection().Entry(), -1);  // a marked row is not selected

        t.fp.window.codeBox = "untouched";
        t.Keys({48 + 0, 96 + 3, key::kEnter, key::kEscape, key::kDelete, key::kBackspace});
        EXPECT_EQ(t.logic.TypedCode(), "72");
        EXPECT_EQ(t.fp.window.codeBox, "untouched");
        EXPECT_EQ(t.Table().Count(), 3);
        t.ClickAt(42);  // a click still moves the yellow row, but removes nothing
        EXPECT_EQ(t.logic.Selection().Entry(), 0);
        EXPECT_TRUE(t.Table().MarkedForRemoval(1));
    };
    bool ranLater = false;
    t.fp.events.at[calls + 20] = [&] {  // later in the pass: still waiting
        ranLater = true;
        EXPECT_TRUE(t.Table().MarkedForRemoval(1));
        t.Keys({50});
        EXPECT_EQ(t.logic.TypedCode(), "72");
    };
    EXPECT_EQ(t.logic.RunPass(), PassExit::Completed);
    ASSERT_TRUE(ran && ranLater);
    EXPECT_FALSE(t.Table().RemovalMarked());
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"1605", "1301"}));
    t.Keys({key::kNumpad0, key::kDigit0 + 3});  // keypad 0 types 0
    EXPECT_EQ(t.fp.window.codeBox, "7203");
    t.Keys({key::kEnter});
    EXPECT_EQ(t.ShownCodes(), (std::vector<std::string>{"1605", "1301", "7203"}));
}

}  // namespace
}  // namespace norvale
