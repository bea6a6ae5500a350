// Norvale's own window under Wine, end to end: the real front end and window logic in this
// process, on the real DDEML, against the raw test quote server, driven by keys and clicks.
#include "platform/win32/Win32Handles.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/MainWindowLogic.h"
#include "platform/fake/ForwardingDdeml.h"
#include "platform/win32/Win32Ddeml.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/Win32Ticker.h"
#include "tools/dde-test-server/ServerProcess.h"
#include "tests/wine/WindowDriver.h"

namespace norvale::win32 {
namespace {

constexpr std::size_t kAnySize = std::size_t{1} << 24;

// The program folder is a fresh folder per test; everything else is the platform's own.
class FolderFiles final : public FileSystem {
public:
    explicit FolderFiles(std::string folder) : folder_(std::move(folder)) {}
    bool ReadPieces(const std::string& path, std::size_t maxBytes,
                    const std::function<bool(std::string_view)>& consume) override {
        return real_.ReadPieces(path, maxBytes, consume);
    }
    bool WriteAll(const std::string& path, std::string_view bytes) override { return real_.WriteAll(path, bytes); }
    std::string InProgramFolder(const std::string& name) const override { return folder_ + "\\" + name; }

private:
    Win32FileSystem real_;
    std::string folder_;
};

// The real DDEML, with its failed requests counted: a pass that met a dead server shows here.
class CountingDdeml final : public ForwardingDdeml {
public:
    CountingDdeml() : ForwardingDdeml(win32_) {}
    DdeData ClientTransaction(DdeConversation c, DdeString item, std::uint32_t format, std::uint32_t type,
                              std::uint32_t timeoutMs) override {
        const DdeData data = real_.ClientTransaction(c, item, format, type, timeoutMs);
        if (data == DdeData::kNone) ++failures;
        return data;
    }
    int failures = 0;

private:
    Win32Ddeml win32_;
};

std::string Slurp(const std::wstring& path) { return Win32FileSystem().ReadAll(Utf8(path), kAnySize).value_or("?"); }

// The sample watch list (26 brands) beside the test program, or its first n lines.
std::string SampleWatchList(int n = 26) {
    Win32FileSystem files;
    const std::string all = files.ReadAll(files.InProgramFolder("監視銘柄.txt"), kAnySize).value_or("");
    std::size_t end = 0;
    for (int i = 0; i < n && end < all.size(); ++i) end = all.find('\n', end) + 1;
    return all.substr(0, end);
}

constexpr unsigned kTickMs = 100;  // ten ticks a second: the passes follow each other quickly

// Norvale as wWinMain builds it, with shorter ticks and its own folder, shown and started.
class RunningNorvale {
public:
    explicit RunningNorvale(const std::string& watchList = SampleWatchList()) {
        CreateDirectoryW(folder_.c_str(), nullptr);
        CopyFileW(Wide(Win32FileSystem().InProgramFolder("mei_code.txt")).c_str(), Path(L"mei_code.txt").c_str(),
                  FALSE);
        (void)files_.WriteAll(Utf8(Path(L"監視銘柄.txt")), watchList);

        HINSTANCE instance = GetModuleHandleW(nullptr);
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        EXPECT_TRUE(Win32MainWindow::Register(instance));
        window_ = Win32MainWindow::Create(instance);
        fileDialog_.SetOwner(window_->Handle());
        messageBox_.SetOwner(window_->Handle());
        loadTicker_ = std::make_unique<Win32Ticker>(instance, kTickMs, [this] { logic_->LoadTick(); });
        waitTicker_ = std::make_unique<Win32Ticker>(instance, kTickMs, [this] { logic_->WaitTick(); });
        platform_ = std::make_unique<Platform>(Platform{*window_, *window_, window_->Table(), *loadTicker_,
                                                        *waitTicker_, events_, fileDialog_, messageBox_, files_,
                                                        guard_, ddeml});
        logic_ = std::make_unique<MainWindowLogic>(*platform_);
        window_->SetEvents(logic_.get());
        EXPECT_TRUE(logic_->StartUp());
        window_->Show();
        PumpFor(100);
    }
    ~RunningNorvale() {
        loadTicker_->SetEnabled(false);
        waitTicker_->SetEnabled(false);
        window_->SetEvents(nullptr);
        window_.reset();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}  // the WM_QUIT of the closed window
        for (const wchar_t* name : {L"mei_code.txt", L"監視銘柄.txt", L"出力.txt", L"壊れた.txt"}) {
            DeleteFileW(Path(name).c_str());
        }
        RemoveDirectoryW(folder_.c_str());
    }

    std::wstring Path(const std::wstring& name) const { return folder_ + L"\\" + name; }
    HWND Handle() const { return window_->Handle(); }
    Win32MainWindow& Window() { return *window_; }
    const MainWindowLogic& Logic() const { return *logic_; }
    bool AllShow(const std::string& text) const {
        const WatchTable& t = logic_->Table();
        for (int i = 0; i < t.EntryCount; ++i) {
            if (t.entries[static_cast<std::size_t>(i)].lastText != text) return false;
        }
        return t.EntryCount > 0;
    }
    std::string Panel(StatusPanel panel) const { return window_->PanelText(panel); }
    // The last texts of the brands, for a failure's message.
    std::string Texts() const {
        std::string all;
        const WatchTable& t = logic_->Table();
        for (int i = 0; i < t.EntryCount; ++i) all += "[" + t.entries[static_cast<std::size_t>(i)].lastText + "]";
        return all;
    }

    CountingDdeml ddeml;

private:
    // A new folder with a Japanese name under the temporary folder, for each Norvale.
    static std::wstring NewFolder() {
        static int count = 0;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"ノルヴェール" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(++count);
    }

    std::wstring folder_ = NewFolder();
    std::unique_ptr<Win32MainWindow> window_;
    Win32EventPump events_;
    Win32FileDialog fileDialog_;
    Win32MessageBox messageBox_;
    FolderFiles files_{Utf8(folder_)};
    Win32InstanceGuard guard_{L"Local\\NorvaleWindowTest." + std::to_wstring(GetCurrentProcessId())};
    std::unique_ptr<Win32Ticker> loadTicker_;
    std::unique_ptr<Win32Ticker> waitTicker_;
    std::unique_ptr<Platform> platform_;
    std::unique_ptr<MainWindowLogic> logic_;
};

constexpr int kStartPolling = 1;  // positions on the menu bar
constexpr int kStopPolling = 2;
constexpr int kImport = 0;  // items of the first menu
constexpr int kExport = 1;
constexpr int kFileNameEdit = 0x480, kFileNameCombo = 0x47C, kFileTypes = 0x470, kReadOnlyBox = 0x410;

// Top of the table surface in the client area, at 96 dpi (360 twips).
constexpr int kTableTop = 24;

std::string Replies(const char* last) {
    return std::string("--reply 現在値=") + last + " --reply 前日終値=1,000 --reply 始値=1,010 --reply 高値=1,300 "
           "--reply 安値=990 --reply 出来高加重平均=1,100 --reply 最良売気配数量１=300 --reply 最良買気配数量１=500";
}

TEST(NorvaleWindow, StartsWithTheSampleFilesFillsItsTableFromTheServerAndStops) {
    ServerProcess server;
    ASSERT_TRUE(server.Start(Wide(Replies("1,234"))));
    RunningNorvale n;
    wchar_t caption[64] = {};
    GetWindowTextW(n.Handle(), caption, 64);
    EXPECT_EQ(Utf8(caption), "Norvale - (ver1.02)");
    RECT client;
    GetClientRect(n.Handle(), &client);
    EXPECT_EQ(client.right, 972);
    EXPECT_EQ(client.bottom, 572);
    EXPECT_EQ(n.Logic().Table().EntryCount, 26);
    EXPECT_EQ(n.Panel(StatusPanel::Activity), "停止");
    EXPECT_EQ(n.Panel(StatusPanel::SortKey), "並べ替え停止");
    Win32MainWindow& w = n.Window();
    EXPECT_TRUE(w.MenuEnabled(MenuItem::File) && w.MenuEnabled(MenuItem::StartPolling));
    EXPECT_FALSE(w.MenuEnabled(MenuItem::Offline) || w.MenuEnabled(MenuItem::StopPolling));

    ChooseFromMenuBar(n.Handle(), kStartPolling);
    EXPECT_FALSE(w.MenuEnabled(MenuItem::File) || w.MenuEnabled(MenuItem::StartPolling));
    ASSERT_TRUE(PumpUntil([&] { return n.AllShow("1,234"); }, 15000));
    ASSERT_TRUE(PumpUntil([&] { return n.Panel(StatusPanel::LoadTime).rfind("読込み時間:", 0) == 0; }, 5000));
    EXPECT_EQ(n.Logic().Table().entries[0].last, 1234);

    // On the screen, the table is the surface's own image, pixel for pixel, down to the status bar.
    const ScreenImage shot = CaptureClient(n.Handle());
    const DeviceImage table = w.Table().Image();
    RECT bar;
    GetWindowRect(FindWindowExW(n.Handle(), nullptr, STATUSCLASSNAMEW, nullptr), &bar);
    MapWindowPoints(nullptr, n.Handle(), reinterpret_cast<POINT*>(&bar), 2);
    int differing = 0, red = 0;
    for (int y = kTableTop; y < bar.top; ++y) {
        for (int x = 0; x < std::min(shot.width, table.width); ++x) {
            differing += shot.At(x, y) != table.At(x, y - kTableTop) ? 1 : 0;
            red += shot.At(x, y) == 0xFF0000 ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(red, 26 * 20) << "the served prices in their colours";
    if (const char* path = std::getenv("NORVALE_WINE_SHOT")) (void)CaptureWindow(n.Handle()).SaveBmp(Wide(path));

    ChooseFromMenuBar(n.Handle(), kStopPolling);
    EXPECT_TRUE(w.MenuEnabled(MenuItem::File) && w.MenuEnabled(MenuItem::StartPolling));
    EXPECT_FALSE(w.MenuEnabled(MenuItem::StopPolling));
}

// Kill the server, then let one end cleanly (it says goodbye with WM_DDE_TERMINATE): after each,
// a new server's quotes reach every brand, one brand watched or 26.
class QuotesReturn : public ::testing::TestWithParam<int> {};

TEST_P(QuotesReturn, AfterAKilledServerAndAfterACleanExit) {
    RunningNorvale n(SampleWatchList(GetParam()));
    ASSERT_EQ(n.Logic().Table().EntryCount, GetParam());
    ServerProcess server;
    ASSERT_TRUE(server.Start(Wide(Replies("1,000"))));
    ChooseFromMenuBar(n.Handle(), kStartPolling);
    ASSERT_TRUE(PumpUntil([&] { return n.AllShow("1,000"); }, 15000));

    server.Kill();
    const int failures = n.ddeml.failures;
    ASSERT_TRUE(PumpUntil([&] { return n.ddeml.failures > failures; }, 10000)) << "a pass meets the dead server";
    // A long enough life for a pass of 26 brands on a busy machine, then a clean exit.
    ASSERT_TRUE(server.Start(Wide(Replies("2,000") + " --lifetime 20")));
    EXPECT_TRUE(PumpUntil([&] { return n.AllShow("2,000"); }, 18000)) << "after a kill: " << n.Texts();

    ASSERT_TRUE(PumpUntil([&] { return server.WaitForExit(0); }, 25000)) << "the server ends by itself";
    ServerProcess next;
    ASSERT_TRUE(next.Start(Wide(Replies("3,000"))));
    EXPECT_TRUE(PumpUntil([&] { return n.AllShow("3,000"); }, 15000)) << "after a clean exit: " << n.Texts();
}

INSTANTIATE_TEST_SUITE_P(Brands, QuotesReturn, ::testing::Values(1, 26));

// Runs action once, from inside the running pass, at the first timer tick that finds one.
class DuringAPass {
public:
    DuringAPass(const MainWindowLogic& logic, std::function<void()> action)
        : logic_(logic), action_(std::move(action)) {
        self_ = this;
        timer_ = SetTimer(nullptr, 0, 20, &DuringAPass::Tick);
    }
    ~DuringAPass() {
        KillTimer(nullptr, timer_);
        self_ = nullptr;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (self_ == nullptr || !self_->action_ || self_->logic_.Polling().Phase() != PollingPhase::Running) return;
        auto action = std::move(self_->action_);
        self_->action_ = nullptr;
        action();
    }
    static inline DuringAPass* self_ = nullptr;
    const MainWindowLogic& logic_;
    std::function<void()> action_;
    UINT_PTR timer_ = 0;
};

TEST(NorvaleWindow, ACloseDuringAPassShowsStoppingAndThenEnds) {
    ServerProcess server;
    ASSERT_TRUE(server.Start(L"--latency 20"));  // a pass of 26 brands takes some seconds
    RunningNorvale n;
    std::string shown;
    bool openAfterClose = false;
    DuringAPass close(n.Logic(), [&] {
        PostMessageW(n.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
        PumpFor(200);
        shown = n.Panel(StatusPanel::Activity);
        openAfterClose = n.Window().IsOpen();
    });
    ChooseFromMenuBar(n.Handle(), kStartPolling);
    ASSERT_TRUE(PumpUntil([&] { return !n.Window().IsOpen(); }, 20000));
    EXPECT_EQ(shown, "停止処理中");
    EXPECT_TRUE(openAfterClose) << "the window waits for the brand boundary";
    EXPECT_TRUE(n.Logic().Closed());
}

TEST(NorvaleWindow, ATypedBrandIsAddedWithEnterAndRemovedWithDelete) {
    RunningNorvale n;
    ClickAt(n.Handle(), 100, kTableTop + 6);  // the headings: the table has the keys, nothing selected
    PressKeys(n.Handle(), {'7', '2', VK_NUMPAD0, '3'});
    EXPECT_EQ(n.Window().CodeBoxText(), "7203");
    PressKeys(n.Handle(), {VK_RETURN});
    const WatchTable& t = n.Logic().Table();
    ASSERT_EQ(t.EntryCount, 27);
    EXPECT_EQ(t.entries[26].topic, "7203.t");
    EXPECT_EQ(n.Window().CodeBoxText(), "");

    ClickAt(n.Handle(), 100, kTableTop + 27 * 12 + 6);  // the new last row
    PressKeys(n.Handle(), {VK_DELETE});
    EXPECT_EQ(t.EntryCount, 26);
    for (int i = 0; i < 26; ++i) EXPECT_NE(t.entries[static_cast<std::size_t>(i)].topic, "") << i;
}

void ChooseFile(const ModalBox& box, const std::wstring& path) {
    box.SetText(kFileNameEdit, path);
    box.SetText(kFileNameCombo, path);
    box.Press(IDOK);
}

TEST(NorvaleWindow, ExportReplacesAnExistingFileAndAFailedOneLeavesItIntact) {
    RunningNorvale n;
    const std::wstring path = n.Path(L"出力.txt");
    ASSERT_TRUE(Win32FileSystem().WriteAll(Utf8(path), "9999\r\n"));

    std::vector<std::wstring> filters;
    bool readOnlyBox = true;
    AnswerNextBox([&](const ModalBox& box) {
        filters = box.ItemsOf(kFileTypes);
        readOnlyBox = box.Shows(kReadOnlyBox);
        ChooseFile(box, path);
    });
    ChooseFromFirstMenu(n.Handle(), kExport);
    ASSERT_TRUE(PumpUntil([&] { return n.Panel(StatusPanel::Activity) == "監視銘柄出力終了"; }, 10000));
    EXPECT_EQ(filters, (std::vector<std::wstring>{L"すべてのファイル (*.*)", L"テキスト ファイル (*.txt)",
                                                  L"バッチ ファイル (*.bat)"}));
    EXPECT_FALSE(readOnlyBox);
    const std::string exported = Slurp(path);
    EXPECT_EQ(exported.substr(0, 12), "7203\r\n6758\r\n");
    EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), 26);

    // Held open without sharing its deletion, the old file cannot be replaced.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::wstring offered;
    AnswerNextBox([&](const ModalBox& box) {
        offered = box.TextOf(kFileNameEdit) + box.TextOf(kFileNameCombo);
        box.Press(IDOK);
    });
    ChooseFromFirstMenu(n.Handle(), kExport);
    ASSERT_TRUE(PumpUntil([&] { return n.Panel(StatusPanel::Activity) == "監視銘柄出力失敗"; }, 10000));
    CloseHandle(held);
    EXPECT_NE(offered.find(L"出力.txt"), std::wstring::npos) << "the last name is offered again";
    EXPECT_EQ(Slurp(path), exported);
}

TEST(NorvaleWindow, AMalformedLineShowsTheErrorBoxAndLeavesTheListEmpty) {
    RunningNorvale n;
    const std::wstring path = n.Path(L"壊れた.txt");
    ASSERT_TRUE(Win32FileSystem().WriteAll(Utf8(path), "7203\r\n\r\n,6758\r\n"));
    std::wstring title, text;
    bool okAndCancel = false, stopIcon = false;
    AnswerNextBox([&](const ModalBox& dialog) {
        ChooseFile(dialog, path);
        AnswerNextBox([&](const ModalBox& box) {
            title = box.Title();
            text = box.TextOf(0xFFFF);
            okAndCancel = GetDlgItem(box.window, IDOK) != nullptr && GetDlgItem(box.window, IDCANCEL) != nullptr;
            const HICON hand = LoadIconW(nullptr, IDI_HAND);
            for (const int icon : {0x14, 0x440}) {
                stopIcon = stopIcon || reinterpret_cast<HICON>(SendDlgItemMessageW(box.window, icon, STM_GETICON, 0, 0)) == hand;
            }
            box.Press(IDCANCEL);
        });
    });
    ChooseFromFirstMenu(n.Handle(), kImport);
    ASSERT_TRUE(PumpUntil([&] { return !title.empty() && !ModalBoxShown(); }, 15000));
    EXPECT_EQ(title, L"Error");
    EXPECT_EQ(text, L"初期設定ファイル読込みエラー\r\nFILE : " + path + L"\r\nLINE : 3");
    EXPECT_TRUE(okAndCancel);
    EXPECT_TRUE(stopIcon);
    EXPECT_EQ(n.Logic().Table().EntryCount, 0);
}

TEST(NorvaleWindow, ADpiChangeLaysTheWindowOutAgainAndRedraws) {
    RunningNorvale n;
    RECT r;
    GetWindowRect(n.Handle(), &r);
    const RECT suggested{r.left, r.top, r.left + 2 * (r.right - r.left), r.top + 2 * (r.bottom - r.top)};
    SendMessageW(n.Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    PumpFor(100);
    EXPECT_EQ(n.Window().Dpi(), 192);
    RECT code;
    GetWindowRect(GetDlgItem(n.Handle(), 201), &code);
    MapWindowPoints(nullptr, n.Handle(), reinterpret_cast<POINT*>(&code), 2);
    EXPECT_EQ(code.left, 80) << "600 twips at 192 dpi";
    const DeviceImage image = n.Window().Table().Image();
    RECT client;
    GetClientRect(n.Handle(), &client);
    EXPECT_LE(std::abs(image.width - client.right), 2) << "the surface follows the client area";
    EXPECT_NE(image.At(2, 2), 0xFFFFFFu) << "and the headings are drawn again";
}

}  // namespace
}  // namespace norvale::win32
