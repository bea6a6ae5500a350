// A refresh pass of 1000 brands under Wine: Norvale's own window logic, refresh pass and DDE layer
// over the real DDEML and the Windows event pump, beside bare DDEML calls of the same requests to
// the same raw test server, in the same run. The two sides alternate round by round, so a change in
// the machine's load falls on both; prints the median of each side and the median of the rounds'
// ratios.
//
// norvale_wine_pass_bench [brands, default 1000] [rounds, default 5]
#include "platform/win32/Win32Handles.h"

#include <ddeml.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/MainWindowLogic.h"
#include "frontend/win32/Win32MainWindow.h"
#include "frontend/win32/Win32Ticker.h"
#include "frontend/win32/Win32WindowServices.h"
#include "platform/TextCodec.h"
#include "platform/TextCodec.h"
#include "platform/win32/Win32Ddeml.h"
#include "quotes/QuoteItems.h"
#include "table/Market.h"
#include "tests/common/TableBuilder.h"
#include "tests/fakes/CountingDdeml.h"
#include "tests/fakes/FakeAlert.h"
#include "tests/fakes/FakeFileDialog.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeInstanceGuard.h"
#include "tools/dde-test-server/ServerProcess.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace norvale;

BrandCode CodeOf(int brand) { return BrandCode(static_cast<std::int16_t>(1000 + brand)); }
std::string Topic(int brand) { return TopicOf(CodeOf(brand), "t"); }

// The requests of one pass, in its order: each brand's prices, then its ask and bid levels 1 to 5.
std::vector<std::string_view> ItemsOfABrand() {
    std::vector<std::string_view> items(quote::kAll.begin(), quote::kAll.begin() + 6);
    for (int l = 0; l < kCommonLevels; ++l) items.push_back(quote::kAsk[static_cast<std::size_t>(l)]);
    for (int l = 0; l < kCommonLevels; ++l) items.push_back(quote::kBid[static_cast<std::size_t>(l)]);
    return items;
}

// Norvale: the window logic on the Windows window, its pass run as the wait ticker runs it.
double NorvalePass(int brands, long& requests) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    win32::Win32MainWindow::Register(instance);
    auto window = win32::Win32MainWindow::Create(instance);
    win32::Win32EventPump events;
    win32::Win32Ticker loadTicker(instance, 1000, [] {});
    win32::Win32Ticker waitTicker(instance, 1000, [] {});
    FakeFileDialog dialog;
    FakeAlert box;
    FakeFileSystem files;
    FakeInstanceGuard guard;
    Win32Ddeml win32;
    CountingDdeml ddeml{win32};  // its transactions counted, so both sides make the same requests
    Platform platform{*window, *window, window->Table(), loadTicker, waitTicker, events,
                      dialog,  box,     files,           guard,      ddeml};
    std::vector<std::string> codes;
    for (int j = 0; j < brands; ++j) codes.push_back(CodeOf(j).Text());
    const test::TestFiles watched = test::FilesOf(codes);
    files.files[files.InProgramFolder(kBrandMasterFileName)] = Utf8ToCp932(watched.master);
    files.files[files.InProgramFolder(kWatchListFileName)] = watched.watchList;
    auto logic = std::make_unique<MainWindowLogic>(platform);
    window->SetEvents(logic.get());
    if (!logic->StartUp() || logic->Table().Count() != brands) return 0;
    const auto start = Clock::now();
    (void)logic->RunPass();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    requests = ddeml.transactions;
    window->SetEvents(nullptr);
    return seconds;
}

HDDEDATA CALLBACK Ignore(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// Bare DDEML: the conversations and requests a first pass makes, in its order: the open and the
// previous close of every brand, then every brand's other prices and levels, each answer copied out
// and freed.
double BarePass(int brands, long& requests) {
    DWORD inst = 0;
    if (DdeInitializeA(&inst, Ignore, APPCMD_CLIENTONLY | CBF_SKIP_ALLNOTIFICATIONS, 0) != DMLERR_NO_ERROR) return 0;
    HSZ service = DdeCreateStringHandleA(inst, "RSS", CP_WINANSI);
    std::vector<HSZ> items;
    for (std::string_view item : ItemsOfABrand()) {
        items.push_back(DdeCreateStringHandleA(inst, Utf8ToCp932(item).c_str(), CP_WINANSI));
    }
    char buffer[512];
    requests = 0;
    const auto ask = [&](int brand, std::size_t first, std::size_t last) {
        HSZ topic = DdeCreateStringHandleA(inst, Topic(brand).c_str(), CP_WINANSI);
        HCONV conv = DdeConnect(inst, service, topic, nullptr);
        for (std::size_t k = first; k < last; ++k) {
            ++requests;
            HDDEDATA data = DdeClientTransaction(nullptr, 0, conv, items[k], CF_TEXT, XTYP_REQUEST, 500, nullptr);
            if (data == nullptr) continue;
            DdeGetData(data, reinterpret_cast<LPBYTE>(buffer), sizeof buffer, 0);
            DdeFreeDataHandle(data);
        }
        DdeDisconnect(conv);
        DdeFreeStringHandle(inst, topic);
    };
    const auto start = Clock::now();
    for (int j = 0; j < brands; ++j) ask(j, 0, 2);  // the open and the previous close
    for (int j = 0; j < brands; ++j) ask(j, 2, items.size());
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (HSZ item : items) DdeFreeStringHandle(inst, item);
    DdeFreeStringHandle(inst, service);
    DdeUninitialize(inst);
    return seconds;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int brands = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    norvale::ServerProcess server;
    if (!server.Start(L"--reply 現在値=2,345.5 --reply 前日終値=2,300 --reply 始値=2,310 --reply 高値=2,400 "
                      L"--reply 安値=2,290 --reply 出来高加重平均=2,350.25 --lifetime 3600")) {
        std::printf("the raw test server did not start\n");
        return 1;
    }
    std::vector<double> own, bare, ratios;
    long ownRequests = 0, bareRequests = 0;
    for (int r = 0; r < rounds; ++r) {
        own.push_back(NorvalePass(brands, ownRequests));
        bare.push_back(BarePass(brands, bareRequests));
        if (bare.back() > 0) ratios.push_back(own.back() / bare.back());
    }
    const double o = Median(own), b = Median(bare);
    std::printf("pass of %d brands under Wine, median of %d rounds:\n", brands, rounds);
    std::printf("  Norvale (window logic, refresh pass, DDE layer, event pump): %8.3f s  %ld requests\n", o,
                ownRequests);
    std::printf("  bare DDEML calls of the same requests:                      %8.3f s  %ld requests\n", b,
                bareRequests);
    std::printf("  ratio of the medians: %.3f x   median of the rounds' ratios: %.3f x\n", b > 0 ? o / b : 0.0,
                ratios.empty() ? 0.0 : Median(ratios));
    return ownRequests == bareRequests ? 0 : 1;
}
