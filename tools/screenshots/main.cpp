// Saves the README's table and brand-entry screenshots of the real window into a folder:
// the sample watch list with made-up quotes, ranked, one row selected (table.png), and a code
// typed on the table before and after Enter (entry-before.png, entry-after.png). Quotes come
// from an in-process server, the files from the data folder given.
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/MainWindowLogic.h"
#include "frontend/qt/QtMainWindow.h"
#include "frontend/qt/QtSurface.h"
#include "frontend/qt/QtTicker.h"
#include "frontend/qt/QtWindowServices.h"
#include "platform/TextCodec.h"
#include "quotes/QuoteItems.h"
#include "tests/fakes/FakeAlert.h"
#include "tests/fakes/FakeDdeml.h"
#include "tests/fakes/FakeFileDialog.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeInstanceGuard.h"

namespace norvale {
namespace {

// Made-up but plausible quotes, deterministic from the brand code.
FakeDdeml::Reply MadeUpQuote(const std::string& topic, const std::string& cp932Item) {
    const std::string item = Cp932ToUtf8(cp932Item);
    const int code = std::atoi(topic.c_str());
    const double base = 800 + (code * 37) % 6000;
    const double swing = ((code % 11) - 5) / 100.0;
    double v = base;
    if (item == quote::kLast) v = base * (1 + swing);
    else if (item == quote::kOpen) v = base * (1 + swing / 3);
    else if (item == quote::kVwap) v = base * (1 + swing / 2);
    else if (item == quote::kHigh) v = base * (1 + std::max(swing, 0.0) + 0.01);
    else if (item == quote::kLow) v = base * (1 + std::min(swing, 0.0) - 0.01);
    else if (item.rfind("最良売", 0) == 0) v = 100 * (1 + (code * 7) % 40);
    else if (item.rfind("最良買", 0) == 0) v = 100 * (1 + (code * 13) % 40);
    return {std::to_string(static_cast<long long>(v))};
}

struct Window {
    QtMainWindow window;
    QtEventPump events;
    FakeFileDialog fileDialog;
    FakeAlert alert;
    FakeFileSystem files;
    FakeInstanceGuard instance;
    FakeDdeml ddeml;
    std::unique_ptr<MainWindowLogic> logic;
    QtTicker loadTicker{1000, [this] { logic->LoadTick(); }};
    QtTicker waitTicker{1000, [this] { logic->WaitTick(); }};
    Platform platform{window,     window,     window.TableSurface(), loadTicker, waitTicker, events,
                      fileDialog, alert,      files,                 instance,   ddeml};

    bool Start(const QString& dataDir) {
        for (const char* name : {kBrandMasterFileName, kWatchListFileName}) {
            QFile f(dataDir + QLatin1Char('/') + QString::fromUtf8(name));
            if (!f.open(QIODevice::ReadOnly)) return false;
            files.files[files.InProgramFolder(name)] = f.readAll().toStdString();
        }
        ddeml.server = MadeUpQuote;
        logic = std::make_unique<MainWindowLogic>(platform);
        window.SetEvents(logic.get());
        if (!logic->StartUp()) return false;
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window) && logic->RunPass() == PassExit::Completed;
    }
    bool Shot(const QString& path) {
        QTest::qWait(300);
        QPixmap pixels;
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            const QRect frame = window.frameGeometry();  // the screen as it shows, frame included
            pixels = window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
        } else {
            pixels = window.grab();
        }
        return pixels.save(path);
    }
    bool ClickRow(int row) {
        QTest::mouseClick(&window.TableSurface(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 12 * (row + 1) + 6));
        return QTest::qWaitFor([this] { return window.TableSurface().hasFocus(); });
    }
};

bool TableShot(const QString& dataDir, const QString& out) {
    Window w;
    if (!w.Start(dataDir)) return false;
    w.window.SelectListItem(DropDown::SortKey, 2);  // 前日終値乖離率-降順
    w.logic->SortKeyChosen();
    return w.ClickRow(3) && w.Shot(out + QStringLiteral("/table.png"));
}

bool EntryShots(const QString& dataDir, const QString& out) {
    Window w;
    if (!w.Start(dataDir) || !w.ClickRow(3)) return false;
    QWindow* win = w.window.windowHandle();
    for (Qt::Key k : {Qt::Key_4, Qt::Key_4, Qt::Key_5, Qt::Key_2}) QTest::keyClick(win, k);  // 花王
    if (!QTest::qWaitFor([&] { return w.logic->TypedCode() == "4452"; })) return false;
    if (!w.Shot(out + QStringLiteral("/entry-before.png"))) return false;
    const int before = w.logic->Table().Count();
    QTest::keyClick(win, Qt::Key_Return);
    if (!QTest::qWaitFor([&] { return w.logic->Table().Count() == before + 1; })) return false;
    return w.Shot(out + QStringLiteral("/entry-after.png"));
}

}  // namespace
}  // namespace norvale

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: norvale-screenshots DATA_FOLDER OUT_FOLDER\n", stderr);
        return 2;
    }
    const QString data = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    if (!norvale::TableShot(data, out) || !norvale::EntryShots(data, out)) {
        std::fputs("norvale-screenshots: a screenshot could not be taken\n", stderr);
        return 1;
    }
    return 0;
}
