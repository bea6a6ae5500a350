#include "frontend/win32/Win32WindowServices.h"

#include <commdlg.h>

#include <vector>

#include "platform/win32/Win32Text.h"

namespace norvale::win32 {

void Win32EventPump::RunPending() {
    // The pass calls this before every request. Without PM_NOYIELD an empty queue gives up the
    // processor (Wine yields on every empty peek), which cost a pass about a tenth of its time;
    // the idle wait between passes still tells waiting programs that Norvale is idle.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::optional<std::string> Win32FileDialog::ShowOpen(const std::string& filter) {
    // "text|pattern|…" becomes the dialog's NUL-separated list, ended by two NULs.
    std::wstring filters = Wide(filter);
    for (wchar_t& c : filters) {
        if (c == L'|') c = L'\0';
    }
    filters.append(2, L'\0');

    std::vector<wchar_t> name(32768, L'\0');
    lastName_.copy(name.data(), std::min(lastName_.size(), name.size() - 1));

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filters.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    // No file-must-exist and no overwrite prompt: export names new files and replaces old ones.
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameW(&ofn)) return std::nullopt;  // cancelled, or the dialog failed
    lastName_ = name.data();
    return Utf8(lastName_);
}

void Win32Alert::ShowCriticalOkCancel(const std::string& text, const std::string& title) {
    MessageBoxW(owner_, Wide(text).c_str(), Wide(title).c_str(), MB_ICONSTOP | MB_OKCANCEL);
}

}  // namespace norvale::win32
