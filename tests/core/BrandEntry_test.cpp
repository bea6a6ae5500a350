// Row selection and brand entry on the table, driven headless through the click and key handlers.
// Which market a code is watched on, and which codes cannot be, is the watch list's test (both
// fill the entry alike); every typed numeric code is the golden table's (NumericCodes_test).
#include "watchlist/BrandEntry.h"

#include <gtest/gtest.h>

#include "tests/core/PollingFixture.h"

namespace norvale {
namespace {

using Strings = std::vector<std::string>;
constexpr Rgb kBlack{0, 0, 0}, kYellow{255, 255, 0};

// Started with a master, the brands `codes` watched on "t"; shown in reverse order if `reversed`
// (a ranking by a rate that the pass of the set-up gives them, rising with the slot).
struct EntryTable : Polling {
    explicit EntryTable(const std::vector<std::string>& codes = {}, bool reversed = false)
        : Polling(codes, {}, "7203,トヨタ自動車,100,東証\r\n6758,ソニーグループ,100,東証\r\n1111,海外上場,100,NYSE\r\n"
                             "130a,新規上場,100,東証\r\n") {
        if (reversed) RankReversedByAPass();
        fp.tableSurface.ops.clear();
    }
    // The band colour of display row r at the latest drawing, if it was drawn.
    std::optional<Rgb> BandOf(int r) const {
        std::optional<Rgb> colour;
        for (const auto& op : fp.tableSurface.ops)
            if (op.kind == SurfaceOp::Fill && op.x1 == -1 && op.y1 == 12 * (r + 1) - 1) colour = op.colour;
        return colour;
    }
    // What was typed, as the logic keeps it and as the code box shows it.
    std::string Typed() const { return logic.TypedCode() + "|" + fp.window.codeBox; }
};

TEST(BrandEntryKeys, DigitsAndLettersBuildAFourCharacterCodeThatEscOrAnEmptyEnterLeaves) {
    EntryTable t;
    t.Type("12345");
    EXPECT_EQ(t.Typed(), "1234|1234");  // the fifth digit is dropped
    // Keypad digits count like main-row digits, letter keys (A to Z) type capitals; other keys do nothing.
    t.Keys({key::kEscape, 96 + 9, 48 + 0, 186, 112, 64, 91, 90, 65, 57});
    EXPECT_EQ(t.Typed(), "90ZA|90ZA");
    t.Keys({key::kEscape, key::kEnter});  // Enter with nothing typed: no drawing, nothing added
    EXPECT_EQ(std::tuple(t.Table().Count(), t.fp.tableSurface.ops.size(), t.Typed()), std::tuple(0, 0u, "|"));
}

TEST(BrandEntryAdd, EnterAppendsTheTypedBrandAsTheLastRowEvenTwiceUpToTheThousandth) {
    EntryTable t({"6758", "9984", "1301"}, true);
    t.Delete(2);  // the freed slot held quotes; none of them may reach the new brand; the table stays sorted

    t.Type("7203");
    t.fp.tableSurface.ops.clear();
    t.Keys({key::kEnter});
    ASSERT_EQ(t.Table().Count(), 3);
    const WatchEntry& added = t.Entry(2);
    // Cleared, then drawn anew with the new count.
    EXPECT_EQ(std::tuple(added.topic, added.brandName, added.openText, added.open, t.ShownCodes(), t.fp.window.codeBox,
                         t.FirstDrawn(), t.Panel(StatusPanel::BrandCount)),
              std::tuple("7203.t", "トヨタ自動車", "", 0., Strings{"9984", "6758", "7203"}, "", SurfaceOp::Clear,
                         "銘柄数: 3/ 1000"));

    // No duplicate check; an addition during a pass goes ahead at once.
    t.fp.events.at[t.fp.events.calls + 1] = [&] { t.Add("7203"); };
    EXPECT_EQ(t.logic.RunPass(), PassExit::Completed);
    ASSERT_EQ(t.Table().Count(), 4);
    EXPECT_EQ(t.Entry(3).topic, "7203.t");

    // Not in the master, a market without a suffix, letters where a code has none or not in use:
    // nothing added, nothing drawn.
    for (const char* code : {"9999", "1111", "130B", "1D00"}) {
        t.fp.tableSurface.ops.clear();
        t.Add(code);
        EXPECT_EQ(std::tuple(t.Table().Count(), t.fp.tableSurface.ops.size(), t.fp.window.codeBox), std::tuple(4, 0u, ""))
            << code;
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
    EXPECT_EQ(std::tuple(t.Entry(999).topic, t.Table().SlotInRow(999)), std::tuple("7203.t", 999));
    t.fp.tableSurface.ops.clear();
    t.Add("6758");
    EXPECT_EQ(std::tuple(t.Table().Count(), t.Entry(999).topic, t.Panel(StatusPanel::Activity), t.fp.window.codeBox,
                         t.fp.tableSurface.ops.size()),
              std::tuple(1000, "7203.t", "銘柄数上限", "", 0u));
}

// Where a click selects nothing is DrawTable's test; here, what Delete and Backspace do with it.
TEST(BrandEntrySelect, OnlyAClickOnARowSelectsWhatDeleteAndBackspaceRemoveAtOnce) {
    EntryTable t({"1301", "1332", "1605", "1801", "1925", "2502"}, true);  // row 3 holds slot 2 ("1605")
    t.Keys({key::kDelete});  // no click yet: ClickY 0 lies on the heading
    t.ClickAt(7 * 12);        // below the rows
    t.Keys({key::kDelete, key::kBackspace});
    EXPECT_EQ(t.Table().Count(), 6);

    t.ClickAt(50);  // lines 48 to 59
    EXPECT_EQ(std::tuple(t.logic.Selection().Entry(), t.BandOf(3)), std::tuple(2, kYellow));
    t.fp.tableSurface.ops.clear();
    t.Keys({key::kDelete});
    // The brand that moved up into row 3 is the selection now, and goes next.
    EXPECT_EQ(std::tuple(t.ShownCodes(), t.FirstDrawn(), t.Panel(StatusPanel::BrandCount),
                         t.Entry(t.logic.Selection().Entry()).codeText),
              std::tuple(Strings{"2502", "1925", "1801", "1332", "1301"}, SurfaceOp::Clear, "銘柄数: 5/ 1000", "1332"));
    t.Type("12");
    t.Keys({key::kBackspace, key::kDelete});  // Backspace removes too, and keeps the digits
    // Nothing is left in row 3.
    EXPECT_EQ(std::tuple(t.ShownCodes(), t.fp.window.codeBox, t.logic.Selection().Entry()),
              std::tuple(Strings{"2502", "1925", "1801"}, "12", -1));
}

// The user's actions run where the pass lets pending events run: before brand 0 at the first
// call, inside the first request at the second.
TEST(BrandEntryRemoveDuringPass, TheRowIsMarkedAndEveryKeyWaitsForTheCompletedPass) {
    EntryTable t({"1301", "1332", "1605"}, true);
    t.Type("72");
    t.ClickAt(30);  // row 1
    ASSERT_EQ(t.logic.Selection().Entry(), 1);

    int ran = 0;
    const int calls = t.fp.events.calls;
    t.fp.events.at[calls + 2] = [&] {
        ++ran;
        ASSERT_EQ(t.State().Phase(), PollingPhase::Running);
        t.fp.tableSurface.ops.clear();
        t.Keys({key::kDelete});
        // A marked row is black and not selected.
        EXPECT_EQ(std::tuple(t.Table().MarkedForRemoval(1), t.Table().Count(), t.FirstDrawn(), t.BandOf(1),
                             t.logic.Selection().Entry()),
                  std::tuple(true, 3, SurfaceOp::Clear, kBlack, -1));

        t.fp.window.codeBox = "untouched";
        t.Keys({48 + 0, 96 + 3, key::kEnter, key::kEscape, key::kDelete, key::kBackspace});
        EXPECT_EQ(std::tuple(t.Typed(), t.Table().Count()), std::tuple("72|untouched", 3));
        t.ClickAt(42);  // a click still moves the yellow row, but removes nothing
        EXPECT_EQ(std::tuple(t.logic.Selection().Entry(), t.Table().MarkedForRemoval(1)), std::tuple(0, true));
    };
    t.fp.events.at[calls + 20] = [&] {  // later in the pass: still waiting
        ++ran;
        t.Keys({50});
        EXPECT_EQ(std::tuple(t.Table().MarkedForRemoval(1), t.logic.TypedCode()), std::tuple(true, "72"));
    };
    EXPECT_EQ(t.logic.RunPass(), PassExit::Completed);
    ASSERT_EQ(ran, 2);
    EXPECT_EQ(std::tuple(t.Table().RemovalMarked(), t.ShownCodes()), std::tuple(false, Strings{"1605", "1301"}));
    t.Keys({key::kNumpad0, key::kDigit0 + 3});  // keypad 0 types 0
    EXPECT_EQ(t.fp.window.codeBox, "7203");
    t.Keys({key::kEnter});
    EXPECT_EQ(t.ShownCodes(), (Strings{"1605", "1301", "7203"}));
}

}  // namespace
}  // namespace norvale
