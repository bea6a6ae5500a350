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
    for (const auto& [name, keys] : {std::pair{"xcb", NativeKeys::XkbKeycode},
                                     {"wayland-egl", NativeKeys::XkbKeycode},
                                     {"windows", NativeKeys::WindowsVk},
                                     {"offscreen", NativeKeys::None},
                                     {"cocoa", NativeKeys::None}}) {
        EXPECT_EQ(NativeKeysOf(QString::fromLatin1(name)), keys) << name;
    }
    struct Case {
        KeyFacts key;
        int want;
        const char* what;
    };
    const auto None = NativeKeys::None, X = NativeKeys::XkbKeycode, Win = NativeKeys::WindowsVk;
    const std::vector<Case> cases = {
        {{Qt::Key_0, false, None, 0, 0}, 48, "0 on the main row"},
        {{Qt::Key_9, false, None, 0, 0}, 57, "9 on the main row"},
        {{Qt::Key_0, true, None, 0, 0}, 96, "keypad 0"},
        {{Qt::Key_9, true, None, 0, 0}, 105, "keypad 9"},
        {{Qt::Key_Return, false, None, 0, 0}, 13, "Enter"},
        {{Qt::Key_Enter, true, None, 0, 0}, 13, "keypad Enter"},
        {{Qt::Key_Escape, false, None, 0, 0}, 27, "Esc"},
        {{Qt::Key_Delete, false, None, 0, 0}, 46, "Delete"},
        {{Qt::Key_Backspace, false, None, 0, 0}, 8, "Backspace"},
        {{Qt::Key_A, false, None, 0, 0}, 65, "a letter"},
        {{Qt::Key_Z, false, None, 0, 0}, 90, "Shift+z"},
        {{Qt::Key_Exclam, false, None, 0, 0}, 49, "Shift+1, US layout, no native code"},
        {{Qt::Key_ParenRight, false, None, 0, 0}, 48, "Shift+0, US layout, no native code"},
        {{Qt::Key_Asterisk, true, None, 0, 0}, 0, "keypad * is no 8"},
        // X11 and Wayland: the physical digit row, keycodes 10 (1) to 19 (0).
        {{Qt::Key_Ampersand, false, X, 10, 0x26}, 49, "AZERTY 1 key unshifted"},
        {{Qt::Key_Agrave, false, X, 19, 0xe0}, 48, "AZERTY 0 key unshifted"},
        {{Qt::Key_9, false, X, 18, 0x39}, 57, "9 on X11"},
        {{Qt::Key_Asterisk, false, X, 51, 0x2a}, 0, "a German * key is no 8"},
        {{Qt::Key_Q, false, X, 38, 0x71}, 81, "AZERTY: the key left of S is Q"},
        {{Qt::Key_7, true, X, 79, 0xffb7}, 103, "keypad 7 on X11"},
        {{Qt::Key_Enter, true, X, 104, 0xff8d}, 13, "keypad Enter on X11"},
        // Windows: the native virtual key is the code itself.
        {{Qt::Key_Ampersand, false, Win, 2, 0x31}, 49, "AZERTY 1 key on Windows"},
        {{Qt::Key_5, true, Win, 76, 101}, 101, "keypad 5 on Windows"},
        {{Qt::Key_Enter, true, Win, 28, 13}, 13, "keypad Enter on Windows"},
        {{Qt::Key_Delete, false, Win, 83, 46}, 46, "Delete on Windows"},
        {{Qt::Key_A, false, Win, 30, 0x41}, 65, "A on Windows"},
        {{Qt::Key_Home, true, Win, 71, 36}, 0, "keypad 7 with NumLock off on Windows"},
        {{Qt::Key_7, false, Win, 0, 0}, 55, "a synthesized event without native codes"},
    };
    for (const Case& c : cases) EXPECT_EQ(VirtualKeyCode(c.key), c.want) << c.what;

    // From a whole event, as the surface reads it (no native codes offscreen).
    const QKeyEvent keypad(QEvent::KeyRelease, Qt::Key_4, Qt::KeypadModifier, QStringLiteral("4"));
    EXPECT_EQ(VirtualKeyCode(keypad), 100);
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return acted.size() == 1; }));
    EXPECT_EQ(acted.front(), "real");
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return acted.size() == 2; }));
    EXPECT_EQ(acted.back(), "2");

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
struct EntryWindow {
    QtHarness h;
    QtSurface* pic = nullptr;
    QLineEdit* codeBox = nullptr;
    QWindow* win = nullptr;

    EntryWindow() {
        h.files.files[h.files.InProgramFolder(kBrandMasterFileName)] =
            Utf8ToCp932("7203,トヨタ自動車,100,東証\r\n6758,ソニーグループ,100,東証\r\n9984,ソフトバンクグループ,100,東証\r\n"
                        "130A,新規上場,100,東証\r\n");
        h.files.files[h.files.InProgramFolder(kWatchListFileName)] = "6758\r\n9984\r\n";
        h.Start();
        h.window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&h.window));
        pic = &h.window.TableSurface();
        codeBox = h.window.findChild<QLineEdit*>(QStringLiteral("codeBox"));
        win = h.window.windowHandle();
    }
    // Keys go to the window and from there to whichever widget has the focus.
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(win, key, mods);
        Settle();
    }
    // On X11 a release acts after a short wait.
    void Settle() { EXPECT_TRUE(QTest::qWaitFor([this] { return !ReleaseGuard::Of(pic).Holding(); })); }
    void Click(int y) { QTest::mouseClick(pic, Qt::LeftButton, Qt::NoModifier, QPoint(100, y)); }
    // A key held down: X11 and Wayland repeat it as release and press pairs marked auto-repeat.
    void Hold(Qt::Key key, int repeats) {
        QTest::simulateEvent(win, true, key, Qt::NoModifier, QString(), false);
        for (int i = 0; i < repeats; ++i) {
            QTest::simulateEvent(win, false, key, Qt::NoModifier, QString(), true);
            QTest::simulateEvent(win, true, key, Qt::NoModifier, QString(), true);
        }
        QTest::simulateEvent(win, false, key, Qt::NoModifier, QString(), false);
        Settle();
    }
    std::vector<std::string> ShownCodes() const {
        std::vector<std::string> codes;
        const WatchTable& t = h.logic->Table();
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
    EXPECT_EQ(w.h.logic->TypedCode(), "");
    QTest::mouseClick(w.codeBox, Qt::LeftButton);
    EXPECT_TRUE(w.pic->hasFocus());
    w.pic->clearFocus();
    w.Click(300);  // below the rows: focus, no selection
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.pic->hasFocus(); }));
    EXPECT_EQ(w.h.logic->Selection().Entry(), -1);
    w.Key(Qt::Key_1);
    EXPECT_EQ(w.h.logic->TypedCode(), "1");
    // A press dragged off the surface is no click: the selection stays where it was.
    QTest::mousePress(w.pic, Qt::LeftButton, Qt::NoModifier, QPoint(100, 17));
    QTest::mouseRelease(w.pic, Qt::LeftButton, Qt::NoModifier, QPoint(100, w.pic->height() + 40));
    EXPECT_EQ(w.h.logic->Selection().ClickY(), 300);
    w.Key(Qt::Key_Escape);
    EXPECT_EQ(w.codeBox->text(), QString());

    w.Click(17);  // row 0
    EXPECT_EQ(w.h.logic->Selection().ClickY(), 17);
    EXPECT_EQ(w.h.logic->Selection().Entry(), 0);
    w.Key(Qt::Key_7, Qt::KeypadModifier);
    w.Key(Qt::Key_2);
    w.Key(Qt::Key_ParenRight, Qt::ShiftModifier);  // Shift with the 0 key
    w.Key(Qt::Key_3, Qt::KeypadModifier);
    EXPECT_EQ(w.codeBox->text(), QStringLiteral("7203"));
    w.Key(Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(w.ShownCodes(), (std::vector<std::string>{"6758", "9984", "7203"}));
    EXPECT_EQ(w.codeBox->text(), QString());
    w.Click(12 * 3 + 6);  // the new row
    EXPECT_EQ(w.h.logic->Selection().Entry(), 2);
    w.Key(Qt::Key_Delete);
    EXPECT_EQ(w.ShownCodes(), (std::vector<std::string>{"6758", "9984"}));

    // Each extra Delete would remove the brand that moves up into the selected row.
    w.Click(12);  // first line of row 0
    w.Hold(Qt::Key_5, 4);
    EXPECT_EQ(w.codeBox->text(), QStringLiteral("5"));
    w.Hold(Qt::Key_Delete, 4);
    EXPECT_EQ(w.ShownCodes(), (std::vector<std::string>{"9984"}));
    w.Hold(Qt::Key_Backspace, 3);
    EXPECT_TRUE(w.ShownCodes().empty());
    EXPECT_EQ(w.codeBox->text(), QStringLiteral("5"));

    // A code with letters is typed like digits, lower case or not, and polled under its own topic.
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_1, Qt::Key_3, Qt::Key_0, Qt::Key_A}) w.Key(key);
    EXPECT_EQ(w.codeBox->text(), QStringLiteral("130A"));
    w.Key(Qt::Key_Return);
    EXPECT_EQ(w.ShownCodes(), (std::vector<std::string>{"130A"}));
    EXPECT_EQ(w.h.logic->RunPass(), PassExit::Completed);
    EXPECT_NE(std::find(w.h.ddeml.log.begin(), w.h.ddeml.log.end(), Utf8ToCp932("Request(130A.t,現在値)")),
              w.h.ddeml.log.end());
}

}  // namespace
}  // namespace norvale
