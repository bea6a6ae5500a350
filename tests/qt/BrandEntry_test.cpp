// Brand entry on the real window: key codes from Qt's key events, and real clicks and keys on
// the table surface that add and remove brands.
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "frontend/qt/QtKeys.h"
#include "platform/TextCodec.h"
#include "tests/qt/QtHarness.h"

namespace norvale {
namespace {

TEST(QtKeys, DigitsWhateverTheLayoutAndShiftAndTheControlKeys) {
    // The platform's name tells how to read the native codes.
    for (const auto& [name, keys] : {std::pair{"xcb", NativeKeys::XkbKeycode}, {"wayland-egl", NativeKeys::XkbKeycode},
                                     {"windows", NativeKeys::WindowsVk}, {"offscreen", NativeKeys::None},
                                     {"cocoa", NativeKeys::None}})
        EXPECT_EQ(NativeKeysOf(QString::fromLatin1(name)), keys) << name;
    const auto X = NativeKeys::XkbKeycode, Win = NativeKeys::WindowsVk;
    const struct {
        KeyFacts key;
        int want;
        const char* what;
    } cases[] = {
        // No native codes (offscreen, synthesized): main row and keypad digits, letters with or without
        // Shift, Shift with a digit on a US layout; the keypad's * is no 8.
        {{Qt::Key_0}, 48, "0"}, {{Qt::Key_9}, 57, "9"}, {{Qt::Key_0, true}, 96, "keypad 0"},
        {{Qt::Key_9, true}, 105, "keypad 9"}, {{Qt::Key_Return}, 13, "Enter"}, {{Qt::Key_Enter, true}, 13, "kp Enter"},
        {{Qt::Key_Escape}, 27, "Esc"}, {{Qt::Key_Delete}, 46, "Delete"}, {{Qt::Key_Backspace}, 8, "Backspace"},
        {{Qt::Key_A}, 65, "a"}, {{Qt::Key_Z}, 90, "Shift+z"}, {{Qt::Key_Exclam}, 49, "Shift+1"},
        {{Qt::Key_ParenRight}, 48, "Shift+0"}, {{Qt::Key_Asterisk, true}, 0, "keypad *"},
        // X11 and Wayland: the physical digit row, keycodes 10 (1) to 19 (0).
        {{Qt::Key_Ampersand, false, X, 10, 0x26}, 49, "AZERTY 1"}, {{Qt::Key_9, false, X, 18, 0x39}, 57, "X 9"},
        {{Qt::Key_Agrave, false, X, 19, 0xe0}, 48, "AZERTY 0"}, {{Qt::Key_Asterisk, false, X, 51, 0x2a}, 0, "German *"},
        {{Qt::Key_Q, false, X, 38, 0x71}, 81, "AZERTY Q"}, {{Qt::Key_7, true, X, 79, 0xffb7}, 103, "X keypad 7"},
        {{Qt::Key_Enter, true, X, 104, 0xff8d}, 13, "X keypad Enter"},
        // Windows: the native virtual key is the code itself.
        {{Qt::Key_Ampersand, false, Win, 2, 0x31}, 49, "Win AZERTY"}, {{Qt::Key_5, true, Win, 76, 101}, 101, "5"},
        {{Qt::Key_Enter, true, Win, 28, 13}, 13, "Win Enter"}, {{Qt::Key_Delete, false, Win, 83, 46}, 46, "Win Delete"},
        {{Qt::Key_A, false, Win, 30, 0x41}, 65, "Win A"}, {{Qt::Key_Home, true, Win, 71, 36}, 0, "NumLock off"},
        {{Qt::Key_7, false, Win}, 55, "a synthesized event without native codes"},
    };
    for (const auto& c : cases) EXPECT_EQ(VirtualKeyCode(c.key), c.want) << c.what;
    // From a whole event, as the surface reads it (no native codes offscreen).
    EXPECT_EQ(VirtualKeyCode(QKeyEvent(QEvent::KeyRelease, Qt::Key_4, Qt::KeypadModifier, QStringLiteral("4"))), 100);
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
    EXPECT_TRUE(guard.Holding());
    press(Qt::Key_Delete, 119, 1000);
    EXPECT_FALSE(guard.Holding());
    release(Qt::Key_Delete, 119, 1040, "real");
    EXPECT_TRUE(guard.Holding());
    EXPECT_TRUE(QTest::qWaitFor([&] { return acted == std::vector<std::string>{"real"}; }));
    // Pressed again later, or another key: the release was real and acts before that press.
    for (const auto& [key, scan] : {std::pair{Qt::Key_Delete, 119u}, std::pair{Qt::Key_1, 10u}}) {
        acted.clear();
        release(Qt::Key_Delete, 119, 1040, "real");
        press(key, scan, 1100);
        EXPECT_EQ(acted, (std::vector<std::string>{"real"}));
    }

    // Quick typing keeps its order: a held-back release runs before the next one is held.
    acted.clear();
    release(Qt::Key_1, 10, 2000, "1");
    release(Qt::Key_2, 11, 2001, "2");
    EXPECT_EQ(acted, (std::vector<std::string>{"1"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return acted == std::vector<std::string>{"1", "2"}; }));

    // Any input after a held-back release, wherever it goes, comes after the release: a click
    // must not overtake a Delete and select the row that the Delete then removes.
    struct Clickable : QWidget {
        std::function<void()> clicked;
        void mousePressEvent(QMouseEvent*) override { clicked(); }
        void wheelEvent(QWheelEvent*) override { clicked(); }
    } other;
    other.clicked = [&acted] { acted.push_back("input"); };
    const QPointF at(5, 5);
    QMouseEvent click(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QWheelEvent wheel(at, at, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    for (QEvent* input : std::initializer_list<QEvent*>{&click, &wheel}) {
        acted.clear();
        release(Qt::Key_Delete, 119, 3000, "Delete");
        QCoreApplication::sendEvent(&other, input);
        EXPECT_EQ(acted, (std::vector<std::string>{"Delete", "input"}));
        EXPECT_FALSE(guard.Holding());
    }

    // An event made up in process carries no keycode: nothing to wait for. Without a wait (every
    // platform but X11) a release acts at once.
    ReleaseGuard atOnce(&widget, 0);
    for (ReleaseGuard* g : {&guard, &atOnce}) {
        bool ran = false;
        g->Release(QKeyEvent(QEvent::KeyRelease, Qt::Key_5, Qt::NoModifier), [&ran] { ran = true; });
        EXPECT_TRUE(ran);
    }
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

    // Keys go to the window and from there to whichever widget has the focus.
    void Key(Qt::Key key) {
        QTest::keyClick(window.windowHandle(), key);
        Settle();
    }
    // On X11 a release acts after a short wait.
    void Settle() { EXPECT_TRUE(QTest::qWaitFor([this] { return !ReleaseGuard::Of(pic).Holding(); })); }
    void Click(int y) { QTest::mouseClick(pic, Qt::LeftButton, Qt::NoModifier, QPoint(100, y)); }
    // A key held down: X11 and Wayland repeat it as release and press pairs marked auto-repeat.
    void Hold(Qt::Key key, int repeats) {
        for (int i = 0; i <= 2 * repeats + 1; ++i)
            QTest::simulateEvent(window.windowHandle(), i % 2 == 0, key, {}, QString(), i > 0 && i < 2 * repeats + 1);
        Settle();
    }
    std::vector<std::string> ShownCodes() const {
        std::vector<std::string> codes;
        const WatchTable& t = logic->Table();
        for (int r = 0; r < t.Count(); ++r) codes.push_back(t.Entry(t.SlotInRow(r)).codeText);
        return codes;
    }
};

// Keys reach the table from the start, and only while it has the focus, which a click on it or on the
// code box gives it; typed codes are added with Enter, a clicked row is removed with Delete, and a held
// key acts once.
TEST(QtBrandEntry, RealClicksAndKeysAddAndRemoveBrands) {
    EntryWindow w;
    ASSERT_EQ(w.ShownCodes(), (std::vector<std::string>{"6758", "9984"}));
    EXPECT_TRUE(w.pic->hasFocus());
    w.pic->clearFocus();
    w.Key(Qt::Key_7);
    EXPECT_EQ(w.logic->TypedCode(), "");
    QTest::mouseClick(w.codeBox, Qt::LeftButton);
    EXPECT_TRUE(w.pic->hasFocus());
    w.pic->clearFocus();
    w.Click(300);  // below the rows: focus, no selection
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.pic->hasFocus(); }));
    EXPECT_EQ(w.logic->Selection().Entry(), -1);
    w.Key(Qt::Key_1);
    EXPECT_EQ(w.logic->TypedCode(), "1");
    // A press dragged off the surface is no click: the selection stays where it was.
    QTest::mousePress(w.pic, Qt::LeftButton, Qt::NoModifier, QPoint(100, 17));
    QTest::mouseRelease(w.pic, Qt::LeftButton, Qt::NoModifier, QPoint(100, w.pic->height() + 40));
    EXPECT_EQ(w.logic->Selection().ClickY(), 300);

    // Which key is which character is QtKeys' test; here they reach the code box, a code with letters
    // as well, and Enter adds the brand.
    w.Click(17);  // row 0
    EXPECT_EQ((std::pair<int, int>(w.logic->Selection().ClickY(), w.logic->Selection().Entry())), std::pair(17, 0));
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_1, Qt::Key_3, Qt::Key_0, Qt::Key_A, Qt::Key_Return}) w.Key(key);
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
