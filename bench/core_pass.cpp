// A refresh pass over 1000 brands (100 of them "oj") against an in-process quote server that
// answers at once, beside a bare loop making the same DDEML calls in the same run: the
// difference, per request, is Norvale's own work (the DDE layer, the storing, the measures,
// the sort and the drawing).
#include <benchmark/benchmark.h>

#include <ctime>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/MainWindowLogic.h"
#include "bench/SampleTable.h"
#include "platform/TextCodec.h"
#include "quotes/QuoteItems.h"
#include "table/Market.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/NullSurface.h"
#include "tests/fakes/QuickDdeml.h"

namespace norvale {
namespace {

// Answers every request at once with "12,345".
using ZeroLatencyDdeml = QuickDdeml;

class NullStatusBar : public StatusBar {
public:
    void SetPanel(StatusPanel, const std::string&) override {}
};
class NullPump : public EventPump {
public:
    void RunPending() override {}
};

struct Bench {
    FakeWindow window;
    NullStatusBar statusBar;
    NullSurface tableSurface;
    FakeTicker loadTicker, waitTicker;
    NullPump events;
    FakeFileDialog fileDialog;
    FakeAlert alert;
    FakeFileSystem files;
    FakeInstanceGuard instance;
    ZeroLatencyDdeml ddeml;
    Platform platform{window, statusBar, tableSurface, loadTicker, waitTicker, events,
                      fileDialog, alert, files, instance, ddeml};
    MainWindowLogic logic{platform};

    Bench() {
        window.events = &logic;
        bench::WatchPassBrands(files);
        (void)logic.StartUp();
        window.SelectListItem(DropDown::SortKey, 2);  // a real ranking at the end of each pass
        logic.SortKeyChosen();
        (void)logic.RunPass();  // the fill-once items, not part of a steady pass
    }

    // The DDEML calls of one pass as the DDE layer makes them: a topic handle and a connect
    // per brand, an item handle per request, the request and its data.
    void BareLoop(const std::vector<std::string>& topics, const std::vector<std::vector<std::string>>& items) {
        std::array<char, 512> buffer{};
        const DdeInstance instance{1};
        DdeString topic{}, item{};
        DdeConversation conversation{};
        for (std::size_t j = 0; j < topics.size(); ++j) {
            if (topic != DdeString::kNone) ddeml.FreeStringHandle(instance, topic);
            topic = ddeml.CreateStringHandle(instance, topics[j], 1004);
            if (conversation != DdeConversation::kNone) ddeml.Disconnect(conversation);
            conversation = ddeml.Connect(instance, DdeString{1}, topic);
            for (const std::string& name : items[j]) {
                if (item != DdeString::kNone) ddeml.FreeStringHandle(instance, item);
                item = ddeml.CreateStringHandle(instance, name, 1004);
                const DdeData data = ddeml.ClientTransaction(conversation, item, 1, 0x20B0, 500);
                ddeml.GetData(data, buffer.data(), static_cast<std::uint32_t>(buffer.size()), 0);
                benchmark::DoNotOptimize(buffer.data());
                ddeml.FreeDataHandle(data);
            }
        }
        ddeml.FreeStringHandle(instance, topic);
        ddeml.FreeStringHandle(instance, item);
    }
};

std::vector<std::string> ItemsOf(int levels) {
    std::vector<std::string> out;
    for (auto item : {quote::kLast, quote::kVwap, quote::kHigh, quote::kLow}) out.emplace_back(item);
    for (const auto& side : {quote::kAsk, quote::kBid})
        for (int k = 0; k < levels; ++k) out.emplace_back(side[static_cast<std::size_t>(k)]);
    return out;
}

// CPU time of this thread: everything here runs on it, and a shared machine's load does not
// stretch it the way it stretches wall time.
double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void PassOf1000Brands(benchmark::State& state) {
    auto b = std::make_unique<Bench>();
    // The bare loop sends what the server receives: CP932 names.
    std::vector<std::string> topics;
    std::vector<std::vector<std::string>> items;
    for (int j = 0; j < kMaxEntries; ++j) {
        const WatchEntry& e = b->logic.Table().Entry(j);
        topics.push_back(e.topic);
        std::vector<std::string> ansi;
        for (const auto& name : ItemsOf(QuoteLevels(e.marketSuffix))) ansi.push_back(Utf8ToCp932(name));
        items.push_back(std::move(ansi));
    }

    double passSeconds = 0, bareSeconds = 0;
    long requests = 0;
    for (auto _ : state) {
        const long before = b->ddeml.requests;
        const double t0 = ThreadSeconds();
        benchmark::DoNotOptimize(b->logic.RunPass());
        const double t1 = ThreadSeconds();
        requests += b->ddeml.requests - before;
        b->BareLoop(topics, items);
        const double t2 = ThreadSeconds();
        const double pass = t1 - t0;
        passSeconds += pass;
        bareSeconds += t2 - t1;
        state.SetIterationTime(pass);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["requests_per_pass"] = static_cast<double>(requests) / iterations;
    state.counters["server_ms_per_pass"] = bareSeconds * 1e3 / iterations;
    state.counters["norvale_ns_per_request"] = (passSeconds - bareSeconds) * 1e9 / static_cast<double>(requests);
    state.counters["pass_to_server_ratio"] = passSeconds / bareSeconds;
}

}  // namespace
}  // namespace norvale

BENCHMARK(norvale::PassOf1000Brands)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
