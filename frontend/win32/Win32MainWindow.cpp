#include "frontend/win32/Win32MainWindow.h"

#include <commctrl.h>
#include <dwmapi.h>

#include <array>
#include <utility>

#include "frontend/win32/MainWindowResources.h"
#include "platform/win32/Win32Text.h"

namespace norvale::win32 {

namespace {

constexpr wchar_t kMainClass[] = L"NorvaleMainWindow";
constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

constexpr std::array<Control, 3> kLabels = {Control::CodeLabel, Control::SortKeyLabel, Control::IntervalLabel};
// A drop-down list's window reaches down over its open list; this many items show at once, each
// as high as a label.
constexpr int kVisibleListItems = 14;
constexpr double kListItemTwips = 255;

enum ControlId : int { kCodeBoxId = 201, kSortKeyListId, kIntervalListId, kStatusBarId };

UINT CommandOf(MenuItem item) {
    switch (item) {
    case MenuItem::ImportWatchList: return NORVALE_CMD_IMPORT_WATCH_LIST;
    case MenuItem::ExportWatchList: return NORVALE_CMD_EXPORT_WATCH_LIST;
    case MenuItem::Offline: return NORVALE_CMD_OFFLINE;
    case MenuItem::StartPolling: return NORVALE_CMD_START_POLLING;
    case MenuItem::StopPolling: return NORVALE_CMD_STOP_POLLING;
    case MenuItem::File: break;
    }
    return 0;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The icon at the size the system asks for; shared, so the system frees it. Null without the resource.
HICON LoadAppIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(NORVALE_APP_ICON), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}

}  // namespace

bool Win32MainWindow::Register(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32MainWindow::Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // Norvale's icon: the large one for the taskbar and Alt+Tab, the small one for the caption.
    wc.hIcon = LoadAppIcon(instance, SM_CXICON, SM_CYICON);
    wc.hIconSm = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEW(NORVALE_MAIN_MENU);
    wc.lpszClassName = kMainClass;
    const bool registered = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered && Win32Surface::Register(instance);
}

std::unique_ptr<Win32MainWindow> Win32MainWindow::Create(HINSTANCE instance) {
    std::unique_ptr<Win32MainWindow> w(new Win32MainWindow(instance));
    CreateWindowExW(0, kMainClass, L"", kFrameStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    nullptr, nullptr, instance, w.get());
    if (w->window_ == nullptr || !w->CreateControls()) return nullptr;
    w->SizeToDesign();
    return w;
}

Win32MainWindow::~Win32MainWindow() {
    events_ = nullptr;
    if (window_ != nullptr) DestroyWindow(window_);
}

void Win32MainWindow::SetEvents(WindowEvents* events) {
    events_ = events;
    if (surface_) surface_->SetEvents(events);
}

bool Win32MainWindow::CreateControls() {
    dpi_ = static_cast<int>(GetDpiForWindow(window_));
    layout_ = WindowLayout(dpi_);
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        const std::wstring text = Wide(WindowLayout::LabelText(kLabels[i]));
        labels_[i] = CreateWindowExW(0, WC_STATICW, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0,
                                     0, window_, nullptr, instance_, nullptr);
    }
    codeBox_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, L"", WS_CHILD | WS_VISIBLE | ES_READONLY, 0, 0, 0, 0,
                               window_, reinterpret_cast<HMENU>(kCodeBoxId), instance_, nullptr);
    const DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
    sortKeyList_ = CreateWindowExW(0, WC_COMBOBOXW, L"", listStyle, 0, 0, 0, 0, window_,
                                   reinterpret_cast<HMENU>(kSortKeyListId), instance_, nullptr);
    intervalList_ = CreateWindowExW(0, WC_COMBOBOXW, L"", listStyle, 0, 0, 0, 0, window_,
                                    reinterpret_cast<HMENU>(kIntervalListId), instance_, nullptr);
    surface_ = std::make_unique<Win32Surface>(dpi_);
    const TwipRect table = WindowLayout::Designed(Control::TableSurface);
    surface_->SetSizeTwips(table.width, table.height);
    surface_->Create(window_, instance_);
    // Along the bottom edge, over the lower part of the table surface, as designed.
    // Placed and sized as laid out, not by itself after its font.
    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE,
                                 0, 0, 0, 0, window_, reinterpret_cast<HMENU>(kStatusBarId), instance_, nullptr);
    if (codeBox_ == nullptr || sortKeyList_ == nullptr || intervalList_ == nullptr || surface_->Handle() == nullptr ||
        statusBar_ == nullptr) {
        return false;
    }
    for (HWND label : labels_) SetWindowPos(label, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(statusBar_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    LayOut();
    return true;
}

void Win32MainWindow::LayOut() {
    // The controls' font at this DPI; the old one is deleted only once no control uses it.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    gdi::UniqueFont font;
    if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi_))) {
        font.reset(CreateFontIndirectW(&metrics.lfMessageFont));
    }
    RECT client{};
    GetClientRect(window_, &client);
    auto place = [&](HWND control, Control which, int extraHeight = 0) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        const PixelRect r = layout_.Place(which, client.right, client.bottom);
        SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height + extraHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    for (std::size_t i = 0; i < labels_.size(); ++i) place(labels_[i], kLabels[i]);
    place(codeBox_, Control::CodeBox);
    const int listHeight = kVisibleListItems * layout_.Px(kListItemTwips);
    place(sortKeyList_, Control::SortKeyList, listHeight);
    place(intervalList_, Control::IntervalList, listHeight);
    SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_ = std::move(font);
    const PixelRect table = layout_.Place(Control::TableSurface, client.right, client.bottom);
    SetWindowPos(surface_->Handle(), nullptr, table.left, table.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    surface_->SetDpi(dpi_);
    OnSize();
    InvalidateRect(window_, nullptr, TRUE);
}

void Win32MainWindow::SizeToDesign() {
    RECT r{0, 0, layout_.ClientWidth(), layout_.ClientHeight()};
    AdjustWindowRectExForDpi(&r, kFrameStyle, TRUE, 0, static_cast<UINT>(dpi_));
    SetWindowPos(window_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32MainWindow::Show() {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    shown_ = true;
    if (events_ != nullptr && !closed_) events_->Resized();
}

LRESULT CALLBACK Win32MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The last message: the object may outlive its window, but no longer hears of it.
        self->window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT Win32MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: OnSize(); return 0;
    case WM_COMMAND: OnCommand(wParam); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_QUERYENDSESSION: return OnQueryEndSession();
    case WM_ENDSESSION: OnEndSession(wParam != FALSE); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_DPICHANGED: OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_ACTIVATE: OnActivate(wParam); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Win32MainWindow::OnSize() {
    if (statusBar_ == nullptr) return;
    RECT client;
    GetClientRect(window_, &client);
    const PixelRect bar = layout_.Place(Control::StatusBar, client.right - client.left, client.bottom - client.top);
    SetWindowPos(statusBar_, nullptr, bar.left, bar.top, bar.width, bar.height, SWP_NOZORDER | SWP_NOACTIVATE);
    const std::array<int, kStatusPanelCount> rights = WindowLayout::StatusPanelRights(bar.width);
    SendMessageW(statusBar_, SB_SETPARTS, kStatusPanelCount, reinterpret_cast<LPARAM>(rights.data()));
    if (shown_ && !dpiChanging_ && events_ != nullptr && !closed_) events_->Resized();
}

void Win32MainWindow::OnCommand(WPARAM wParam) {
    const int id = LOWORD(wParam);
    // The code box only shows what is typed on the table: a click there leaves the keys with the table.
    if (id == kCodeBoxId && HIWORD(wParam) == EN_SETFOCUS) SetFocus(surface_->Handle());
    if (events_ == nullptr || closed_) return;
    if (id == kSortKeyListId || id == kIntervalListId) {
        // An item is chosen when the open list closes on it, the same item again included, or when
        // keys move the closed list to it; browsing the open list chooses nothing yet.
        const DropDown list = id == kSortKeyListId ? DropDown::SortKey : DropDown::Interval;
        const int code = HIWORD(wParam);
        const bool dropped = SendMessageW(ListOf(list), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
        if (code == CBN_SELENDOK || (code == CBN_SELCHANGE && !dropped)) OnListChosen(list, code);
        return;
    }
    // Commands run as soon as they are chosen, also in the middle of a pass: a stop chosen
    // during a brand's last request is seen at that brand's boundary.
    switch (id) {
    case NORVALE_CMD_IMPORT_WATCH_LIST: events_->ImportWatchList(); break;
    case NORVALE_CMD_EXPORT_WATCH_LIST: events_->ExportWatchList(); break;
    case NORVALE_CMD_OFFLINE: events_->ToggleOffline(); break;
    case NORVALE_CMD_START_POLLING: events_->StartPolling(); break;
    case NORVALE_CMD_STOP_POLLING: events_->StopPolling(); break;
    default: break;
    }
}

void Win32MainWindow::OnListChosen(DropDown list, int notification) {
    // One choice may come as both notifications, in either order, for the same key or click: the
    // second is the first one's pair, and is dropped.
    const ListChoice choice{list, SelectedIndex(list), GetMessageTime(), notification};
    const ListChoice last = std::exchange(lastChoice_, choice);
    if (choice.list == last.list && choice.index == last.index && choice.time == last.time &&
        choice.notification != last.notification) {
        lastChoice_ = ListChoice{};
        return;
    }
    if (list == DropDown::SortKey) events_->SortKeyChosen();
    if (list == DropDown::Interval) events_->IntervalChosen();
}

void Win32MainWindow::OnClose() {
    if (closed_) return;
    if (events_ != nullptr) {
        if (events_->CloseRequested() == CloseAnswer::Refuse) return;
        events_->Closing();
    }
    closed_ = true;
    DestroyWindow(window_);
}

LRESULT Win32MainWindow::OnQueryEndSession() {
    if (closed_ || events_ == nullptr) return TRUE;
    return events_->CloseRequested() == CloseAnswer::Grant ? TRUE : FALSE;
}

void Win32MainWindow::OnEndSession(bool ending) {
    if (!ending || closed_) return;
    if (events_ != nullptr) events_->Closing();
    closed_ = true;
    DestroyWindow(window_);
}

void Win32MainWindow::OnDestroy() {
    closed_ = true;
    PostQuitMessage(0);
}

void Win32MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    layout_ = WindowLayout(dpi_);
    dpiChanging_ = true;
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The surface takes the new scale and has the core lay it out in twips and draw it afresh.
    LayOut();
    dpiChanging_ = false;
}

void Win32MainWindow::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) lastFocus_ = focus;
    } else if (!HIWORD(wParam)) {
        OnSetFocus();
    }
}

void Win32MainWindow::OnSetFocus() {
    // Keys reach the table unless the trader moved the focus to another control.
    HWND target = lastFocus_ != nullptr && IsWindow(lastFocus_) ? lastFocus_ : surface_->Handle();
    SetFocus(target);
}

void Win32MainWindow::SetCaption(const std::string& caption) { SetWindowTextW(window_, Wide(caption).c_str()); }

void Win32MainWindow::SetMenuEnabled(MenuItem item, bool enabled) {
    HMENU menu = GetMenu(window_);
    const UINT state = enabled ? MF_ENABLED : MF_GRAYED;
    if (item == MenuItem::File) {
        EnableMenuItem(menu, 0, MF_BYPOSITION | state);
    } else {
        EnableMenuItem(menu, CommandOf(item), MF_BYCOMMAND | state);
    }
    DrawMenuBar(window_);
}

bool Win32MainWindow::MenuEnabled(MenuItem item) const {
    HMENU menu = GetMenu(window_);
    const UINT state = item == MenuItem::File ? GetMenuState(menu, 0, MF_BYPOSITION)
                                              : GetMenuState(menu, CommandOf(item), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

HWND Win32MainWindow::ListOf(DropDown list) const {
    return list == DropDown::SortKey ? sortKeyList_ : intervalList_;
}

void Win32MainWindow::SetListItems(DropDown list, const std::vector<std::string>& items) {
    HWND box = ListOf(list);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) {
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    }
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

// CB_SETCURSEL sends no CBN_SELCHANGE: a selection from code raises no chosen event.
void Win32MainWindow::SelectListItem(DropDown list, int index) {
    SendMessageW(ListOf(list), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32MainWindow::SelectedIndex(DropDown list) const {
    const LRESULT index = SendMessageW(ListOf(list), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

std::string Win32MainWindow::SelectedText(DropDown list) const {
    const int index = SelectedIndex(list);
    if (index < 0) return {};
    HWND box = ListOf(list);
    const LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Utf8(text);
}

void Win32MainWindow::SetCodeBoxText(const std::string& text) { SetWindowTextW(codeBox_, Wide(text).c_str()); }

std::string Win32MainWindow::CodeBoxText() const { return Utf8(WindowText(codeBox_)); }

WindowState Win32MainWindow::State() const {
    if (IsIconic(window_)) return WindowState::Minimized;
    if (IsZoomed(window_)) return WindowState::Maximized;
    return WindowState::Normal;
}

RECT Win32MainWindow::VisibleFrame() const {
    // The frame as the trader sees it: without the invisible resize borders of Windows 10.
    RECT frame{};
    if (DwmGetWindowAttribute(window_, DWMWA_EXTENDED_FRAME_BOUNDS, &frame, sizeof frame) != S_OK ||
        frame.right <= frame.left) {
        GetWindowRect(window_, &frame);
    }
    return frame;
}

TwipRect Win32MainWindow::Frame() const {
    const RECT f = VisibleFrame();
    return {layout_.Twips(f.left), layout_.Twips(f.top), layout_.Twips(f.right - f.left), layout_.Twips(f.bottom - f.top)};
}

void Win32MainWindow::MoveTo(double left, double top) {
    RECT outer;
    GetWindowRect(window_, &outer);
    const RECT visible = VisibleFrame();
    SetWindowPos(window_, nullptr, layout_.Px(left) - (visible.left - outer.left),
                 layout_.Px(top) - (visible.top - outer.top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double Win32MainWindow::ScreenWidth() const { return layout_.Twips(GetSystemMetrics(SM_CXSCREEN)); }

double Win32MainWindow::ScreenHeight() const { return layout_.Twips(GetSystemMetrics(SM_CYSCREEN)); }

double Win32MainWindow::ClientWidth() const {
    RECT r{};
    GetClientRect(window_, &r);
    return layout_.Twips(r.right - r.left);
}

double Win32MainWindow::ClientHeight() const {
    RECT r{};
    GetClientRect(window_, &r);
    return layout_.Twips(r.bottom - r.top);
}

void Win32MainWindow::SetTableSurfaceSize(double width, double height) { surface_->SetSizeTwips(width, height); }

double Win32MainWindow::TableSurfaceWidth() const { return surface_->WidthTwips(); }

double Win32MainWindow::TableSurfaceHeight() const { return surface_->HeightTwips(); }

int Win32MainWindow::PointerYOnTable() const { return surface_->LastClickY(); }

void Win32MainWindow::Close() {
    if (window_ != nullptr) SendMessageW(window_, WM_CLOSE, 0, 0);
}

void Win32MainWindow::SetPanel(StatusPanel panel, const std::string& text) {
    SendMessageW(statusBar_, SB_SETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

std::string Win32MainWindow::PanelText(StatusPanel panel) const {
    const auto part = static_cast<WPARAM>(panel);
    const LRESULT length = LOWORD(SendMessageW(statusBar_, SB_GETTEXTLENGTHW, part, 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(statusBar_, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Utf8(text);
}

}  // namespace norvale::win32
