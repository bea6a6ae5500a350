// Quote requests per second through the DDE layer over D-Bus, against a bare QtDBus call loop sending
// the same messages to the same stand-in server in the same run. Run it inside a session bus
// (scripts/bench).
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "platform/TextCodec.h"
#include "platform/dbus/DbusDdeml.h"
#include "platform/dbus/QuoteBus.h"
#include "quotes/DdeCtrl.h"
#include "quotes/QuoteItems.h"
#include "table/Market.h"

namespace norvale {
namespace {

constexpr int kTimeoutMs = 500;

// The fourteen every-pass items of a brand outside "oj".
const std::vector<std::string>& PassItems() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> list;
        for (auto item : {quote::kLast, quote::kVwap, quote::kHigh, quote::kLow}) list.emplace_back(item);
        for (const auto& side : {quote::kAsk, quote::kBid}) list.insert(list.end(), side.begin(), side.begin() + kCommonLevels);
        return list;
    }();
    return items;
}

// Brands are asked as a pass asks them: all fourteen items of one, then the next. With one brand
// every request names a new item on the same conversation; with more, each brand costs a connect.
std::string TopicOf(int brand) { return norvale::TopicOf(BrandCode(static_cast<std::int16_t>(1301 + brand)), "t"); }

// The DDE layer as the program uses it.
class ThroughDdeCtrl {
public:
    ThroughDdeCtrl() { opened_ = dde_.Open("RSS"); }
    bool Ask(const std::string& topic, const std::string& item) {
        if (!opened_) return false;
        const DdeReply reply = dde_.Request(topic, item, kTimeoutMs);
        benchmark::DoNotOptimize(reply.text);
        return static_cast<bool>(reply);
    }

private:
    DbusDdeml ddeml_;
    DdeCtrl dde_{ddeml_};
    bool opened_ = false;
};

// The same messages straight through QtDBus: ServesTopic when the brand changes, then Request, and the
// reply's CP932 bytes made into text.
class ThroughBareQtDBus {
public:
    ThroughBareQtDBus() : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, kName)) {}
    ~ThroughBareQtDBus() { QDBusConnection::disconnectFromBus(kName); }
    bool Ask(const std::string& topicText, const std::string& itemText) {
        const QString topic = QString::fromStdString(topicText);
        if (topic != topic_) {
            QDBusMessage ask = QDBusMessage::createMethodCall(quotebus::BusNameFor(QStringLiteral("RSS")),
                                                              quotebus::kObjectPath, quotebus::kInterface,
                                                              quotebus::kServesTopic);
            ask << topic;
            server_ = bus_.call(ask, QDBus::Block, 1000).service();
            topic_ = topic;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(server_, quotebus::kObjectPath, quotebus::kInterface,
                                                           quotebus::kRequest);
        call << topic << QString::fromStdString(itemText);
        const QDBusMessage reply = bus_.call(call, QDBus::Block, kTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage) return false;
        const QByteArray bytes = reply.arguments().value(0).toByteArray();
        std::string text = Cp932ToUtf8(std::string_view(bytes.constData(), qstrnlen(bytes.constData(), bytes.size())));
        benchmark::DoNotOptimize(text);
        return true;
    }

private:
    inline static const QString kName = QStringLiteral("norvale-bench-bare");
    QDBusConnection bus_;
    QString topic_;
    QString server_;
};

// This thread's processor time, which the machine's other load disturbs far less than the wall clock.
double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Spent {
    double wall = 0;
    double cpu = 0;
};

// The fourteen items of one brand, timed.
template <typename Side>
void AskBrand(Side& side, const std::string& topic, Spent& spent, bool& ok) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = ThreadCpuSeconds();
    for (const std::string& item : PassItems()) ok &= side.Ask(topic, item);
    spent.cpu += ThreadCpuSeconds() - cpu;
    spent.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One iteration is twenty brands' worth of requests each way (280 requests), one brand over and over or
// twenty different ones. The two ways take turns brand by brand, in alternating order, so that the load
// of a shared machine falls on both alike.
void Requests(benchmark::State& state) {
    const int brands = static_cast<int>(state.range(0));
    ThroughDdeCtrl dde;
    ThroughBareQtDBus bare;
    bool ok = true;
    Spent warmUp, ddeSpent, bareSpent;
    AskBrand(dde, TopicOf(0), warmUp, ok);
    AskBrand(bare, TopicOf(0), warmUp, ok);
    std::int64_t chunks = 0;
    std::vector<double> ratios;  // of each brand's two neighbouring measurements
    for (auto _ : state) {
        for (int k = 0; k < 20; ++k) {
            const std::string topic = TopicOf(k % brands);
            const Spent ddeBefore = ddeSpent, bareBefore = bareSpent;
            if (chunks++ % 2 == 0) {
                AskBrand(dde, topic, ddeSpent, ok);
                AskBrand(bare, topic, bareSpent, ok);
            } else {
                AskBrand(bare, topic, bareSpent, ok);
                AskBrand(dde, topic, ddeSpent, ok);
            }
            ratios.push_back((ddeSpent.wall - ddeBefore.wall) / (bareSpent.wall - bareBefore.wall));
        }
    }
    // The median is not moved by the few brands that a burst of other load happened to hit.
    std::nth_element(ratios.begin(), ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2), ratios.end());
    if (!ok) state.SkipWithError("a request failed: is the quote server running?");
    const double requests = static_cast<double>(chunks * static_cast<std::int64_t>(PassItems().size()));
    state.counters["ddectrl_req_per_s"] = requests / ddeSpent.wall;
    state.counters["bare_req_per_s"] = requests / bareSpent.wall;
    state.counters["time_ratio"] = ddeSpent.wall / bareSpent.wall;
    state.counters["time_ratio_median"] = ratios.empty() ? 0 : ratios[ratios.size() / 2];
    state.counters["ddectrl_cpu_us"] = ddeSpent.cpu / requests * 1e6;
    state.counters["bare_cpu_us"] = bareSpent.cpu / requests * 1e6;
}

}  // namespace
}  // namespace norvale

BENCHMARK(norvale::Requests)
    ->Name("DdeCtrl_vs_BareQtDBus/one_brand")
    ->Arg(1)
    ->Iterations(60)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(norvale::Requests)
    ->Name("DdeCtrl_vs_BareQtDBus/brands")
    ->Arg(20)
    ->Iterations(60)
    ->Unit(benchmark::kMillisecond);
