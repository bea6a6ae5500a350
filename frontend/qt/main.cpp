// Norvale's entry point on Qt: builds the window and its services and hands them to the
// window logic. The DDEML is the platform's, chosen in CMake.
#include <QApplication>
#include <QIcon>
#include <memory>

#include "app/MainWindowLogic.h"
#include "frontend/qt/QtMainWindow.h"
#include "frontend/qt/QtSurface.h"
#include "frontend/qt/QtTicker.h"
#include "frontend/qt/QtWindowServices.h"
#include "platform/PlatformDdeml.h"
#include "platform/qt/QtFileSystem.h"
#include "platform/qt/QtInstanceGuard.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("norvale"));
    // Norvale's icon for the window and the taskbar, drawn by the build at each size (packaging/).
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icon/norvale-%1.png").arg(size));
    }
    QApplication::setWindowIcon(icon);

    norvale::QtMainWindow window;
    norvale::QtEventPump events;
    norvale::QtFileDialog fileDialog(&window);
    norvale::QtAlert alert(&window);
    norvale::QtFileSystem files;
    norvale::QtInstanceGuard instance;
    const std::unique_ptr<norvale::Ddeml> ddeml = norvale::MakePlatformDdeml();
    norvale::MainWindowLogic* logic = nullptr;
    norvale::QtTicker loadTicker(1000, [&] { logic->LoadTick(); });
    norvale::QtTicker waitTicker(1000, [&] { logic->WaitTick(); });

    norvale::Platform platform{window,     window,     window.TableSurface(), loadTicker, waitTicker, events,
                               fileDialog, alert,      files,                 instance,   *ddeml};
    const auto windowLogic = std::make_unique<norvale::MainWindowLogic>(platform);
    logic = windowLogic.get();
    window.SetEvents(logic);

    if (!logic->StartUp()) return 0;  // another instance runs: end silently
    window.show();
    window.PlaceWhenFramed([logic] { logic->PlaceOnScreen(); });
    return QApplication::exec();
}
