// Requests per second through the DDE layer over the real DDEML (under Wine) against the raw test
// server, beside the same requests made with bare DDEML calls in the same run.
//
// norvale_wine_bench [requests per run, default 2000]
#include <windows.h>
#include <ddeml.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/TextCodec.h"
#include "platform/win32/Win32Ddeml.h"
#include "quotes/DdeCtrl.h"
#include "quotes/QuoteItems.h"
#include "tools/dde-test-server/ServerProcess.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 5;

// The items of one brand in a refresh pass, and a few brands, so that topics change as in a pass.
const std::vector<std::string>& Items() {
    static const std::vector<std::string> items(norvale::quote::kAll.begin(), norvale::quote::kAll.end());
    return items;
}
const std::vector<std::string> kTopics = {"7203.t", "6758.t", "9984.t", "8306.t", "6501.t"};

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// Through the DDE layer: handles and conversation managed as the refresh pass uses them.
double CtrlRun(int requests) {
    norvale::Win32Ddeml ddeml;
    norvale::DdeCtrl dde(ddeml);
    if (!dde.Open("RSS")) return 0;
    int done = 0;
    int failed = 0;
    const auto start = Clock::now();
    for (std::size_t t = 0; done < requests; ++t) {
        for (const std::string& item : Items()) {
            if (!dde.Request(kTopics[t % kTopics.size()], item, 500)) ++failed;
            if (++done == requests) break;
        }
    }
    const double s = Seconds(start);
    dde.Close();
    if (failed != 0) std::printf("  the DDE layer: %d of %d requests failed\n", failed, requests);
    return requests / s;
}

// Bare DDEML: every string handle made once, one connect per brand, request, copy, free.
double BareRun(int requests, double* connectMs) {
    DWORD inst = 0;
    if (DdeInitializeA(&inst, nullptr, 0x3C0010, 0) != DMLERR_NO_ERROR) return 0;
    HSZ service = DdeCreateStringHandleA(inst, "RSS", CP_WINANSI);
    std::vector<HSZ> topics;
    std::vector<HSZ> items;
    for (const auto& t : kTopics) topics.push_back(DdeCreateStringHandleA(inst, t.c_str(), CP_WINANSI));
    for (const auto& i : Items()) {
        items.push_back(DdeCreateStringHandleA(inst, norvale::Utf8ToCp932(i).c_str(), CP_WINANSI));
    }
    int done = 0;
    int failed = 0;
    int connects = 0;
    double connectSeconds = 0;
    std::array<char, 512> buffer{};
    const auto start = Clock::now();
    for (std::size_t t = 0; done < requests; ++t) {
        const auto c0 = Clock::now();
        HCONV conv = DdeConnect(inst, service, topics[t % topics.size()], nullptr);
        connectSeconds += Seconds(c0);
        ++connects;
        for (HSZ item : items) {
            HDDEDATA data = DdeClientTransaction(nullptr, 0, conv, item, CF_TEXT, XTYP_REQUEST, 500, nullptr);
            if (data == nullptr) {
                ++failed;
            } else {
                DdeGetData(data, reinterpret_cast<LPBYTE>(buffer.data()), buffer.size(), 0);
                DdeFreeDataHandle(data);
            }
            if (++done == requests) break;
        }
        DdeDisconnect(conv);
    }
    const double s = Seconds(start);
    for (HSZ h : items) DdeFreeStringHandle(inst, h);
    for (HSZ h : topics) DdeFreeStringHandle(inst, h);
    DdeFreeStringHandle(inst, service);
    DdeUninitialize(inst);
    if (failed != 0) std::printf("  bare DDEML: %d of %d requests failed\n", failed, requests);
    if (connectMs != nullptr) *connectMs = connectSeconds * 1000 / connects;
    return requests / s;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int requests = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    norvale::ServerProcess server;
    if (!server.Start(L"")) {
        std::printf("the raw test server did not start\n");
        return 1;
    }
    std::vector<double> ctrl;
    std::vector<double> bare;
    std::vector<double> connect;
    (void)BareRun(100, nullptr);  // warm-up
    // Interleaved, with the order swapped every round, so that load from elsewhere falls on both.
    for (int round = 0; round < kRounds; ++round) {
        double ms = 0;
        if (round % 2 == 0) ctrl.push_back(CtrlRun(requests));
        bare.push_back(BareRun(requests, &ms));
        if (round % 2 != 0) ctrl.push_back(CtrlRun(requests));
        connect.push_back(ms);
    }
    const double c = Median(ctrl);
    const double b = Median(bare);
    std::printf("wine bench, %d requests per run, median of %d runs (%zu brands x %zu items):\n", requests, kRounds,
                kTopics.size(), Items().size());
    std::printf("  the DDE layer + Win32Ddeml : %8.0f requests/s (%.3f ms each)\n", c, 1000 / c);
    std::printf("  bare DDEML calls        : %8.0f requests/s (%.3f ms each)\n", b, 1000 / b);
    std::printf("  ratio (time per request, the DDE layer / bare): %.3f\n", b / c);
    std::printf("  connect: %.3f ms each\n", Median(connect));
    return 0;
}
