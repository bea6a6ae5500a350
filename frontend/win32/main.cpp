// Norvale's entry point on Windows: builds the window and its services, hands them to the
// window logic and runs the message loop until the window has closed.
// First: windows.h, which commctrl.h needs.
#include "frontend/win32/GdiHandles.h"

#include <commctrl.h>

#include <memory>

#include "app/MainWindowLogic.h"
#include "frontend/win32/Win32MainWindow.h"
#include "frontend/win32/Win32Ticker.h"
#include "frontend/win32/Win32WindowServices.h"
#include "platform/PlatformDdeml.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32InstanceGuard.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace norvale;
    using namespace norvale::win32;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (!Win32MainWindow::Register(instance)) return 1;
    std::unique_ptr<Win32MainWindow> window = Win32MainWindow::Create(instance);
    if (!window) return 1;

    Win32EventPump events;
    Win32FileDialog fileDialog;
    Win32Alert alert;
    fileDialog.SetOwner(window->Handle());
    alert.SetOwner(window->Handle());
    Win32FileSystem files;
    Win32InstanceGuard instanceGuard(kInstanceMutexName);
    const std::unique_ptr<Ddeml> ddeml = MakePlatformDdeml();

    std::unique_ptr<MainWindowLogic> logic;
    Win32Ticker loadTicker(instance, 1000, [&] { logic->LoadTick(); });
    Win32Ticker waitTicker(instance, 1000, [&] { logic->WaitTick(); });
    Platform platform{*window,     *window,    window->Table(), loadTicker, waitTicker, events,
                      fileDialog,  alert,      files,           instanceGuard, *ddeml};
    logic = std::make_unique<MainWindowLogic>(platform);
    window->SetEvents(logic.get());

    if (!logic->StartUp()) return 0;  // another instance runs: end silently
    window->Show();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // The tickers go before the logic they call.
    loadTicker.SetEnabled(false);
    waitTicker.SetEnabled(false);
    window->SetEvents(nullptr);
    return 0;
}
