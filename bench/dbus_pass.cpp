// A refresh pass over 1000 brands (100 of them "oj") against the stand-in quote server on the
// session bus, beside a bare QtDBus loop sending the same messages to the same server in the
// same run. Run it inside a session bus: dbus-run-session -- norvale_bench_dbus_pass
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/MainWindowLogic.h"
#include "bench/SampleTable.h"
#include "frontend/qt/QtWindowServices.h"
#include "platform/TextCodec.h"
#include "platform/dbus/DbusDdeml.h"
#include "platform/dbus/QuoteBus.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/NullSurface.h"

namespace norvale {
namespace {

class NullStatusBar : public StatusBar {
public:
    void SetPanel(StatusPanel panel, const std::string& text) override {
        failed |= panel == StatusPanel::Activity && text == "Error !";
    }
    bool failed = false;
};

// The window logic with the real D-Bus DDEML and the real event pump; window and drawing are stand-ins.
struct PassSide {
    FakeWindow window;
    NullStatusBar statusBar;
    NullSurface tableSurface;
    FakeTicker loadTicker, waitTicker;
    EventPump& events;
    FakeFileDialog fileDialog;
    FakeAlert alert;
    FakeFileSystem files;
    FakeInstanceGuard instance;
    Ddeml& ddeml;
    Platform platform{window, statusBar, tableSurface, loadTicker, waitTicker, events,
                      fileDialog, alert, files, instance, ddeml};
    MainWindowLogic logic{platform};

    PassSide(EventPump& pump, Ddeml& dbus) : events(pump), ddeml(dbus) {
        window.events = &logic;
        bench::WatchPassBrands(files);
        (void)logic.StartUp();
        window.SelectListItem(DropDown::SortKey, 2);
        logic.SortKeyChosen();
        (void)logic.RunPass();  // the fill-once items
    }
};

// The messages that the pass made, replayed straight through QtDBus: ServesTopic for a
// connect, Request for a transaction.
class BareSide {
public:
    struct Step {
        QString topic;
        QString item;  // empty for a connect
    };

    BareSide() : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, kName)) {}
    ~BareSide() { QDBusConnection::disconnectFromBus(kName); }

    void Replay(const Step& step) {
        if (step.item.isEmpty()) {
            QDBusMessage ask = QDBusMessage::createMethodCall(quotebus::BusNameFor(QStringLiteral("RSS")),
                                                              quotebus::kObjectPath, quotebus::kInterface,
                                                              quotebus::kServesTopic);
            ask << step.topic;
            server_ = bus_.call(ask, QDBus::Block, 1000).service();
            return;
        }
        QDBusMessage call =
            QDBusMessage::createMethodCall(server_, quotebus::kObjectPath, quotebus::kInterface, quotebus::kRequest);
        call << step.topic << step.item;
        const QDBusMessage reply = bus_.call(call, QDBus::Block, 500);
        ok &= reply.type() == QDBusMessage::ReplyMessage;
        const QByteArray bytes = reply.arguments().value(0).toByteArray();
        benchmark::DoNotOptimize(bytes.constData());
        ++requests;
    }

    bool ok = true;
    long requests = 0;

private:
    inline static const QString kName = QStringLiteral("norvale-bench-bare-pass");
    QDBusConnection bus_;
    QString server_;
};

// The D-Bus DDEML, noting each connect and request that it sends so that the bare side can
// send the same.
class TracingDdeml : public DbusDdeml {
public:
    DdeString CreateStringHandle(DdeInstance instance, std::string_view ansi, int codePage) override {
        const DdeString h = DbusDdeml::CreateStringHandle(instance, ansi, codePage);
        if (h != DdeString::kNone) names_[h] = std::string(ansi);
        return h;
    }
    bool FreeStringHandle(DdeInstance instance, DdeString handle) override {
        freed_.push_back(handle);  // the name is still wanted by Take()
        return DbusDdeml::FreeStringHandle(instance, handle);
    }
    DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) override {
        const DdeConversation c = DbusDdeml::Connect(instance, service, topic);
        if (c != DdeConversation::kNone) topics_[c] = names_[topic];
        sent.push_back({topic, 0});
        return c;
    }
    bool Disconnect(DdeConversation conversation) override {
        topics_.erase(conversation);
        return DbusDdeml::Disconnect(conversation);
    }
    DdeData ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format, std::uint32_t type,
                              std::uint32_t timeoutMs) override {
        sentItems.push_back({topics_[conversation], names_[item]});
        return DbusDdeml::ClientTransaction(conversation, item, format, type, timeoutMs);
    }

    // What was sent since the last call, as steps of the bare side (converted outside its timing).
    std::vector<BareSide::Step> Take() {
        std::vector<BareSide::Step> steps;
        for (const auto& [topic, unused] : sent) steps.push_back({Q(names_[topic]), QString()});
        for (const auto& [topic, item] : sentItems) steps.push_back({Q(topic), Q(item)});
        sent.clear();
        sentItems.clear();
        for (const DdeString h : freed_) names_.erase(h);
        freed_.clear();
        return steps;
    }

private:
    static QString Q(const std::string& ansi) { return QString::fromStdString(Cp932ToUtf8(ansi)); }
    std::map<DdeString, std::string> names_;
    std::map<DdeConversation, std::string> topics_;
    std::vector<DdeString> freed_;
    std::vector<std::pair<DdeString, int>> sent;
    std::vector<std::pair<std::string, std::string>> sentItems;
};

// The pass lets events run before every brand and every request; there the bare side sends,
// timed apart, either what the pass has just sent or, on every other pass, what the pass is
// about to send (the same requests as in the pass before). The two sides thus alternate request
// by request, the load of a shared machine falls on both alike, and neither always finds the
// server's and the bus's caches warmed by the other.
class InterleavingPump : public EventPump {
public:
    using Clock = std::chrono::steady_clock;

    InterleavingPump(BareSide& bare, TracingDdeml& ddeml) : bare_(bare), ddeml_(ddeml) {}
    void RunPending() override {
        real_.RunPending();
        const auto t0 = Clock::now();
        const double passPart = std::chrono::duration<double>(t0 - segmentStart_).count();
        std::vector<BareSide::Step> steps = ddeml_.Take();
        const auto t1 = Clock::now();
        harnessSeconds += std::chrono::duration<double>(t1 - t0).count();
        if (active) {
            if (!ahead_) {
                const double barePart = Replay(steps);
                if (!steps.empty() && barePart > 0) ratios.push_back(passPart / barePart);
            } else {
                if (pendingBare_ > 0) ratios.push_back(passPart / pendingBare_);
                const std::size_t next = current_.size() + 1;
                pendingBare_ = next < recorded_.size() ? Replay(recorded_[next]) : 0;
            }
            current_.push_back(std::move(steps));
        }
        segmentStart_ = Clock::now();
    }
    // A pass begins; aheadOfThePass when the bare side is to go first in it.
    void Begin(bool aheadOfThePass) {
        if (!current_.empty()) recorded_ = std::move(current_);
        current_.clear();
        ahead_ = aheadOfThePass && !recorded_.empty();
        pendingBare_ = 0;
        segmentStart_ = Clock::now();
    }

    bool active = false;
    double bareSeconds = 0;
    double harnessSeconds = 0;
    // Per stretch between two pumps: the pass's time over the bare side's for the same requests.
    std::vector<double> ratios;

private:
    double Replay(const std::vector<BareSide::Step>& steps) {
        const auto t0 = Clock::now();
        for (const auto& step : steps) bare_.Replay(step);
        const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        bareSeconds += seconds;
        return seconds;
    }

    QtEventPump real_;
    BareSide& bare_;
    TracingDdeml& ddeml_;
    Clock::time_point segmentStart_ = Clock::now();
    bool ahead_ = false;
    double pendingBare_ = 0;
    std::vector<std::vector<BareSide::Step>> current_, recorded_;
};

void PassOverDbus(benchmark::State& state) {
    BareSide bare;
    TracingDdeml ddeml;
    InterleavingPump pump(bare, ddeml);
    auto pass = std::make_unique<PassSide>(pump, ddeml);
    using Clock = std::chrono::steady_clock;
    double passSeconds = 0;
    (void)ddeml.Take();  // what the first pass sent last
    pump.active = true;
    std::int64_t round = 0;
    for (auto _ : state) {
        const double bareBefore = pump.bareSeconds;
        const double harnessBefore = pump.harnessSeconds;
        const auto t0 = Clock::now();
        pump.Begin(round++ % 2 == 1);
        benchmark::DoNotOptimize(pass->logic.RunPass());
        pump.RunPending();  // the bare side's share of the last brand
        const double total = std::chrono::duration<double>(Clock::now() - t0).count();
        const double s = total - (pump.bareSeconds - bareBefore) - (pump.harnessSeconds - harnessBefore);
        passSeconds += s;
        state.SetIterationTime(s);
    }
    if (!bare.ok) state.SkipWithError("a bare request failed: is the quote server running?");
    if (pass->statusBar.failed) state.SkipWithError("a request of the pass failed: is the quote server running?");
    const double passes = static_cast<double>(state.iterations());
    state.counters["requests_per_pass"] = static_cast<double>(bare.requests) / passes;
    state.counters["bare_ms_per_pass"] = pump.bareSeconds * 1e3 / passes;
    state.counters["pass_to_bare_ratio"] = passSeconds / pump.bareSeconds;
    state.counters["norvale_us_per_request"] =
        (passSeconds - pump.bareSeconds) * 1e6 / static_cast<double>(bare.requests);
    // Robust against a stretch in which the machine's load fell on one side only.
    std::sort(pump.ratios.begin(), pump.ratios.end());
    if (!pump.ratios.empty()) state.counters["median_request_ratio"] = pump.ratios[pump.ratios.size() / 2];
}

}  // namespace
}  // namespace norvale

BENCHMARK(norvale::PassOverDbus)->Name("RefreshPass_vs_BareQtDBus/1000_brands")->UseManualTime()->Iterations(6)
    ->Unit(benchmark::kMillisecond);
