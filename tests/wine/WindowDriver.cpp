#include "tests/wine/WindowDriver.h"

#include <utility>

#include "platform/win32/Win32Services.h"

namespace norvale::win32 {

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    Win32EventPump pump;
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        pump.RunPending();
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) { PumpUntil([] { return false; }, ms); }

void PressKeys(HWND window, std::initializer_list<WORD> keys) { PressKeys(window, std::vector<WORD>(keys)); }

void PressKeys(HWND window, const std::vector<WORD>& keys) {
    SetForegroundWindow(window);
    PumpFor(20);
    // All at once: a menu or a box that the first keys open reads the rest in its own loop.
    std::vector<INPUT> in(keys.size() * 2);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        in[2 * i].type = in[2 * i + 1].type = INPUT_KEYBOARD;
        in[2 * i].ki.wVk = in[2 * i + 1].ki.wVk = keys[i];
        in[2 * i + 1].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    PumpFor(100);
}

void ChooseFromMenuBar(HWND window, int position) {
    std::vector<WORD> keys{VK_F10};
    keys.insert(keys.end(), static_cast<std::size_t>(position), VK_RIGHT);
    keys.push_back(VK_RETURN);
    PressKeys(window, keys);
}

void ChooseFromFirstMenu(HWND window, int item) {
    std::vector<WORD> keys{VK_F10, VK_RETURN};
    keys.insert(keys.end(), static_cast<std::size_t>(item), VK_DOWN);
    keys.push_back(VK_RETURN);
    PressKeys(window, keys);
}

void ClickAt(HWND window, int x, int y) {
    SetForegroundWindow(window);
    POINT at{x, y};
    ClientToScreen(window, &at);
    INPUT in[3] = {};
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = static_cast<LONG>((at.x * 65536LL + w / 2) / w);
        i.mi.dy = static_cast<LONG>((at.y * 65536LL + h / 2) / h);
    }
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, in, sizeof(INPUT));
    PumpFor(50);
}

std::wstring ModalBox::Title() const {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring ModalBox::TextOf(int controlId) const {
    wchar_t text[4096] = {};
    GetDlgItemTextW(window, controlId, text, 4096);
    return text;
}

std::vector<std::wstring> ModalBox::ItemsOf(int controlId) const {
    std::vector<std::wstring> items;
    HWND box = GetDlgItem(window, controlId);
    const LRESULT n = SendMessageW(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        wchar_t text[512] = {};
        SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

bool ModalBox::Shows(int controlId) const {
    HWND control = GetDlgItem(window, controlId);
    return control != nullptr && IsWindowVisible(control);
}

void ModalBox::SetText(int controlId, const std::wstring& text) const {
    SetDlgItemTextW(window, controlId, text.c_str());
}

void ModalBox::Press(int buttonId) const {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, buttonId)));
}

namespace {

struct PendingAnswer {
    std::function<void(const ModalBox&)> answer;
    UINT_PTR timer = 0;
    int triesLeft = 0;
    HWND last = nullptr;  // the box answered last, which may take a moment to go
};
PendingAnswer g_pending;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    if (std::wstring(cls) == L"#32770" && IsWindowVisible(window) && window != g_pending.last) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr && --g_pending.triesLeft > 0) return;
    KillTimer(nullptr, g_pending.timer);
    if (box == nullptr) return;
    auto answer = std::move(g_pending.answer);
    g_pending.last = box;
    answer(ModalBox{box});
}

}  // namespace

void AnswerNextBox(std::function<void(const ModalBox&)> answer) {
    g_pending.answer = std::move(answer);
    g_pending.triesLeft = 100;  // 10 s
    g_pending.timer = SetTimer(nullptr, 0, 100, AnswerTimer);
}

bool ModalBoxShown() {
    HWND box = nullptr;
    const HWND last = std::exchange(g_pending.last, nullptr);
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&box));
    g_pending.last = last;
    return box != nullptr;
}

namespace {

ScreenImage Capture(const RECT& screen) {
    ScreenImage image;
    image.width = screen.right - screen.left;
    image.height = screen.bottom - screen.top;
    if (image.width <= 0 || image.height <= 0) return image;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    HDC screenDc = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screenDc);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = image.width;
    bi.bmiHeader.biHeight = -image.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screenDc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, image.width, image.height, screenDc, screen.left, screen.top, SRCCOPY);
    GdiFlush();
    std::copy_n(static_cast<const std::uint32_t*>(bits), image.pixels.size(), image.pixels.begin());
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screenDc);
    return image;
}

}  // namespace

ScreenImage CaptureClient(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(100);
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return Capture(r);
}

ScreenImage CaptureWindow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    PumpFor(100);
    RECT r;
    GetWindowRect(window, &r);
    return Capture(r);
}

bool ScreenImage::SaveBmp(const std::wstring& path) const {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
    std::vector<unsigned char> rows(static_cast<std::size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = At(x, y);
            unsigned char* d = &rows[static_cast<std::size_t>(y) * stride + x * 3];
            d[0] = p & 0xFF;
            d[1] = (p >> 8) & 0xFF;
            d[2] = (p >> 16) & 0xFF;
        }
    }
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD w = 0;
    bool ok = WriteFile(f, &file, sizeof file, &w, nullptr) && WriteFile(f, &info, sizeof info, &w, nullptr) &&
              WriteFile(f, rows.data(), static_cast<DWORD>(rows.size()), &w, nullptr);
    ok = CloseHandle(f) && ok;
    return ok;
}

}  // namespace norvale::win32
