// Brand entry on the real window: key codes from Qt's key events, and real clicks and keys on
// the table surface that add and remove brands.
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "frontend/qt/QtKeys.h"
#include "tests/qt/QtHarness.h"

namespace norvale {
namespace {

TEST(QtKeys, DigitsWhateverTheLayoutAndShiftAndTheControlKeys) {
    for (const auto& [name, keys] : {std::pair{"xcb", NativeKeys::XkbKeycode}, {"windows", NativeKeys::WindowsVk},
                                     {"offscreen", NativeKeys::None}})
        EXPECT_EQ(NativeKeysOf(QString::fromLatin1(name)), keys) << name;
    const auto X = NativeKeys::XkbKeycode, Win = NativeKeys::WindowsVk;
    const struct {
        KeyFacts key;
        int want;
        const char* what;
    } cases[] = {
        // No native codes (offscreen, synthesized); the keypad's * is no 8.
        {{Qt::Key_0}, 48, "0"}, {{Qt::Key_0, true}, 96, "keypad 0"}, {{Qt::Key_Enter, true}, 13, "kp Enter"},
        {{Qt::Key_Delete}, 46, "Delete"}, {{Qt::Key_Z}, 90, "Shift+z"}, {{Qt::Key_Exclam}, 49, "Shift+1"},
        {{Qt::Key_Asterisk, true}, 0, "keypad *"},
        // X11 and Wayland: the physical digit row, keycodes 10 (1) to 19 (0).
        {{Qt::Key_Ampersand, false, X, 10, 0x26}, 49, "AZERTY 1"}, {{Qt::Key_Q, false, X, 38, 0x71}, 81, "AZERTY Q"},
        {{Qt::Key_7, true, X, 79, 0xffb7}, 103, "X keypad 7"},
        // Windows: the native virtual key is the code itself.
        {{Qt::Key_Ampersand, false, Win, 2, 0x31}, 49, "Win AZERTY"},
        {{Qt::Key_Home, true, Win, 71, 36}, 0, "NumLock off"},
    };
    for (const auto& c : cases) EXPECT_EQ(VirtualKeyCode(c.key), c.want) << c.what;
}

// As X11 delivers a held key when Qt misses its auto-repeat: release and press at the same time.
TEST(QtKeys, OnX11AReleaseFollowedByAPressAtTheSameTimeIsARepeat) {
    QWidget widget;
    ReleaseGuard guard(&widget, 40);
    std::vector<std::string> acted;
    auto release = [&](Qt::Key key, quint32 scan, quint64 time, const char* name) {
        QKeyEvent e(QEvent::KeyRelease, key, Qt::NoModifier, scan, 0, 0);
        e.setTimestamp(time);
        guard.Release(e, [&acted, name] { acted.push_back(name); });
    };
    auto press = [&](Qt::Key key, quint32 scan, quint64 time) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, scan, 0, 0);
        e.setTimestamp(time);
        QCoreApplication::sendEvent(&widget, &e);
    };
    release(Qt::Key_Delete, 119, 1000, "repeat");
    press(Qt::Key_Delete, 119, 1000);
    release(Qt::Key_Delete, 119, 1040, "real");
    EXPECT_TRUE(QTest::qWaitFor([&] { return acted == std::vector<std::string>{"real"}; }));

    // Quick typing keeps its order: a held-back release runs before the next one is held.
    acted.clear();
    release(Qt::Key_1, 10, 2000, "1");
    release(Qt::Key_2, 11, 2001, "2");
    EXPECT_TRUE(QTest::qWaitFor([&] { return acted == std::vector<std::string>{"1", "2"}; }));

    // A click must not overtake a Delete and select the row that the Delete then removes.
    struct Clickable : QWidget {
        std::vector<std::string>* acted;
        void mousePressEvent(QMouseEvent*) override { acted->push_back("click"); }
    } other;
    other.acted = &acted;
    acted.clear();
    release(Qt::Key_Delete, 119, 3000, "Delete");
    const QPointF at(5, 5);
    QMouseEvent click(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&other, &click);
    EXPECT_EQ(acted, (std::vector<std::string>{"Delete", "click"}));
}

// The real window started with a small master and two watched brands, active and exposed.
struct EntryWindow : QtHarness {
    EntryWindow() {
        Watch({"6758", "9984"}, {"130A"});
        Start();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QtSurface* pic = &window.TableSurface();
    QLineEdit* codeBox = window.findChild<QLineEdit*>(QStringLiteral("codeBox"));

    // Keys go to the window and from there to whichever widget has the focus; on X11 a release acts
    // after a short wait.
    void Key(Qt::Key key) {
        QTest::keyClick(window.windowHandle(), key);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !ReleaseGuard::Of(pic).Holding(); }));
    }
    void Click(int y) { QTest::mouseClick(pic, Qt::LeftButton, Qt::NoModifier, QPoint(100, y)); }
    // A key held down: X11 and Wayland repeat it as release and press pairs marked auto-repeat.
    void Hold(Qt::Key key, int repeats) {
        for (int i = 0; i <= 2 * repeats + 1; ++i)
            QTest::simulateEvent(window.windowHandle(), i % 2 == 0, key, {}, QString(), i > 0 && i < 2 * repeats + 1);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !ReleaseGuard::Of(pic).Holding(); }));
    }
    std::vector<std::string> ShownCodes() const {
        std::vector<std::string> codes;
        const WatchTable& t = logic->Table();
        for (int r = 0; r < t.Count(); ++r) codes.push_back(t.Entry(t.SlotInRow(r)).codeText);
        return codes;
    }
};

// Keys reach the table only while it has the focus, which a click on the code box gives it; typed
// codes are added with Enter, a clicked row is removed with Delete, and a held key acts once.
TEST(QtBrandEntry, RealClicksAndKeysAddAndRemoveBrands) {
    EntryWindow w;
    ASSERT_EQ(w.ShownCodes(), (std::vector<std::string>{"6758", "9984"}));
    w.pic->clearFocus();
    w.Key(Qt::Key_7);
    EXPECT_EQ(w.logic->TypedCode(), "");
    QTest::mouseClick(w.codeBox, Qt::LeftButton);
    EXPECT_TRUE(w.pic->hasFocus());

    for (const Qt::Key key : {Qt::Key_1, Qt::Key_3, Qt::Key_0, Qt::Key_A, Qt::Key_Return}) w.Key(key);
    ASSERT_EQ(w.ShownCodes(), (std::vector<std::string>{"6758", "9984", "130A"}));
    EXPECT_EQ(w.logic->Table().Entry(2).topic, "130A.t");
    w.Click(12 * 3 + 6);  // the new row
    EXPECT_EQ(w.logic->Selection().Entry(), 2);
    w.Key(Qt::Key_Delete);
    EXPECT_EQ(w.ShownCodes(), (std::vector<std::string>{"6758", "9984"}));

    // Each extra Delete would remove the brand that moves up into the selected row.
    w.Click(12);  // first line of row 0
    w.Hold(Qt::Key_5, 4);
    EXPECT_EQ(w.codeBox->text(), QStringLiteral("5"));
    w.Hold(Qt::Key_Delete, 4);
    EXPECT_EQ(w.ShownCodes(), (std::vector<std::string>{"9984"}));
}

}  // namespace
}  // namespace norvale
