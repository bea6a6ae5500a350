// Brand entry on the real window: key codes from Qt's key events, the X11 repeat guard, and real clicks
// and keys on the table surface that add and remove brands.
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "frontend/qt/QtKeys.h"
#include "tests/qt/QtHarness.h"

namespace norvale {
namespace {

TEST(QtKeys, DigitsWhateverTheLayoutAndShiftAndTheControlKeys) {
    const auto X = NativeKeys::XkbKeycode, Win = NativeKeys::WindowsVk;
    const std::tuple<KeyFacts, int, const char*> cases[] = {
        // No native codes (offscreen, synthesized); the keypad's * is no 8.
        {{Qt::Key_0, true}, 96, "keypad 0"}, {{Qt::Key_Enter, true}, 13, "kp Enter"},
        {{Qt::Key_Exclam}, 49, "Shift+1"}, {{Qt::Key_Asterisk, true}, 0, "keypad *"},
        // X11 and Wayland: the physical digit row, keycodes 10 (1) to 19 (0).
        {{Qt::Key_Ampersand, false, X, 10, 0x26}, 49, "AZERTY 1"}, {{Qt::Key_Q, false, X, 38, 0x71}, 81, "AZERTY Q"},
        {{Qt::Key_7, true, X, 79, 0xffb7}, 103, "X keypad 7"},
        // Windows: the native virtual key is the code itself.
        {{Qt::Key_Ampersand, false, Win, 2, 0x31}, 49, "Win AZERTY"},
        {{Qt::Key_Home, true, Win, 71, 36}, 0, "NumLock off"},
    };
    for (const auto& [key, want, what] : cases) EXPECT_EQ(VirtualKeyCode(key), want) << what;
}

// As X11 delivers a held key when Qt misses its auto-repeat: release and press at the same time.
TEST(QtKeys, OnX11AReleaseFollowedByAPressAtTheSameTimeIsARepeat) {
    QWidget widget;
    ReleaseGuard guard(&widget, 40);
    std::vector<std::string> acted;
    const auto send = [&](QEvent::Type type, Qt::Key key, quint32 scan, quint64 time, const char* name = "") {
        QKeyEvent e(type, key, Qt::NoModifier, scan, 0, 0);
        e.setTimestamp(time);
        if (type == QEvent::KeyPress) QCoreApplication::sendEvent(&widget, &e);
        if (type == QEvent::KeyRelease) guard.Release(e, [&acted, name] { acted.push_back(name); });
    };
    send(QEvent::KeyRelease, Qt::Key_Delete, 119, 1000, "repeat");
    send(QEvent::KeyPress, Qt::Key_Delete, 119, 1000);
    send(QEvent::KeyRelease, Qt::Key_Delete, 119, 1040, "real");
    EXPECT_TRUE(QTest::qWaitFor([&] { return acted == std::vector<std::string>{"real"}; }));

    // Quick typing keeps its order: a held-back release runs before the next one is held.
    acted.clear();
    send(QEvent::KeyRelease, Qt::Key_1, 10, 2000, "1");
    send(QEvent::KeyRelease, Qt::Key_2, 11, 2001, "2");
    EXPECT_TRUE(QTest::qWaitFor([&] { return acted == std::vector<std::string>{"1", "2"}; }));

    // A click must not overtake a Delete and select the row that the Delete then removes.
    QPushButton other;
    QObject::connect(&other, &QPushButton::pressed, [&] { acted.push_back("click"); });
    acted.clear();
    send(QEvent::KeyRelease, Qt::Key_Delete, 119, 3000, "Delete");
    const QPointF at(5, 5);
    QMouseEvent click(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&other, &click);
    EXPECT_EQ(acted, (std::vector<std::string>{"Delete", "click"}));
}

// Keys reach the table only while it has the focus, which a click on the code box gives it; typed
// codes are added with Enter, a clicked row is removed with Delete, and a held key acts once.
TEST(QtBrandEntry, RealClicksAndKeysAddAndRemoveBrands) {
    QtHarness h;
    h.Watch({"6758", "9984"}, {"130A"});
    h.Start();
    h.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&h.window));
    QtSurface* pic = &h.window.TableSurface();
    auto* codeBox = h.window.findChild<QLineEdit*>(QStringLiteral("codeBox"));
    // Keys go to the window and from there to whichever widget has the focus. A key held down: X11 and
    // Wayland repeat it as release and press pairs marked auto-repeat.
    const auto key = [&](Qt::Key key, int repeats = 0) {
        for (int i = 0; i <= 2 * repeats + 1; ++i)
            QTest::simulateEvent(h.window.windowHandle(), i % 2 == 0, key, {}, QString(), i > 0 && i < 2 * repeats + 1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ReleaseGuard::Of(pic).Holding(); }));
    };
    const auto click = [&](int y) { QTest::mouseClick(pic, Qt::LeftButton, Qt::NoModifier, QPoint(100, y)); };
    const auto shownCodes = [&] {
        std::vector<std::string> codes;
        for (int r = 0; r < h.logic->Table().Count(); ++r)
            codes.push_back(h.logic->Table().Entry(h.logic->Table().SlotInRow(r)).codeText);
        return codes;
    };
    pic->clearFocus();
    key(Qt::Key_7);
    EXPECT_EQ(h.logic->TypedCode(), "");
    QTest::mouseClick(codeBox, Qt::LeftButton);

    for (const Qt::Key k : {Qt::Key_1, Qt::Key_3, Qt::Key_0, Qt::Key_A, Qt::Key_Return}) key(k);
    ASSERT_EQ(shownCodes(), (std::vector<std::string>{"6758", "9984", "130A"}));
    EXPECT_EQ(h.logic->Table().Entry(2).topic, "130A.t");
    click(12 * 3 + 6);  // the new row
    key(Qt::Key_Delete);
    EXPECT_EQ(shownCodes(), (std::vector<std::string>{"6758", "9984"}));

    // Each extra Delete would remove the brand that moves up into the selected row.
    click(12);  // first line of row 0
    key(Qt::Key_Delete, 4);
    EXPECT_EQ(shownCodes(), (std::vector<std::string>{"9984"}));
}

}  // namespace
}  // namespace norvale
