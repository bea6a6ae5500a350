// Quote requests per second through the DDE layer over D-Bus, against a bare QtDBus call loop sending
// the same messages to the same stand-in server in the same run. Run it inside a session bus
// (scripts/bench-dbus).
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <chrono>
#include <string>
#include <vector>

#include "platform/TextCodec.h"
#include "platform/dbus/DbusDdeml.h"
#include "platform/dbus/QuoteBus.h"
#include "quotes/DdeCtrl.h"

namespace norvale {
namespace {

constexpr int kTimeoutMs = 500;

// The fourteen every-pass items of a brand outside "oj".
const std::vector<std::string>& PassItems() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> list = {"現在値", "出来高加重平均", "高値", "安値"};
        for (const char* side : {"最良売気配数量", "最良買気配数量"}) {
            for (const char* digit : {"１", "２", "３", "４", "５"}) list.push_back(std::string(side) + digit);
        }
        return list;
    }();
    return items;
}

// Brands are asked as a pass asks them: all fourteen items of one, then the next. With one brand
// every request names a new item on the same conversation; with more, each brand costs a connect.
std::string TopicOf(int brand) { return std::to_string(1301 + brand) + ".t"; }

// The DDE layer as the program uses it.
class ThroughDdeCtrl {
public:
    ThroughDdeCtrl() {
        dde_.DdeResetState();
        dde_.BuildDdeErrorTable();
        opened_ = dde_.DdeOpen("RSS");
    }
    ~ThroughDdeCtrl() { dde_.DdeClose(); }
    bool Ask(const std::string& topic, const std::string& item) {
        out_.clear();
        const bool ok = opened_ && dde_.DdeRequest(topic, item, kTimeoutMs, out_);
        benchmark::DoNotOptimize(out_);
        return ok;
    }

private:
    DbusDdeml ddeml_;
    DdeCtrl dde_{ddeml_};
    bool opened_ = false;
    std::string out_;
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

// One round: 280 requests, twenty passes over one brand or one pass over twenty brands.
template <typename Side>
double RoundSeconds(Side& side, int brands, bool& ok) {
    const auto& items = PassItems();
    const int perBrand = 280 / brands;
    const auto start = std::chrono::steady_clock::now();
    for (int brand = 0; brand < brands; ++brand) {
        for (int k = 0; k < perBrand; ++k) ok &= side.Ask(TopicOf(brand), items[static_cast<std::size_t>(k) % items.size()]);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Both ways in the same iteration, in alternating order, so that the load of a shared machine falls
// on both alike.
void Requests(benchmark::State& state) {
    const int brands = static_cast<int>(state.range(0));
    ThroughDdeCtrl dde;
    ThroughBareQtDBus bare;
    bool ok = true;
    (void)RoundSeconds(dde, brands, ok);
    (void)RoundSeconds(bare, brands, ok);
    double ddeSeconds = 0, bareSeconds = 0;
    std::int64_t round = 0;
    for (auto _ : state) {
        if (round++ % 2 == 0) {
            ddeSeconds += RoundSeconds(dde, brands, ok);
            bareSeconds += RoundSeconds(bare, brands, ok);
        } else {
            bareSeconds += RoundSeconds(bare, brands, ok);
            ddeSeconds += RoundSeconds(dde, brands, ok);
        }
    }
    if (!ok) state.SkipWithError("a request failed: is the quote server running?");
    const double requests = 280.0 * static_cast<double>(round);
    state.counters["ddectrl_req_per_s"] = requests / ddeSeconds;
    state.counters["bare_req_per_s"] = requests / bareSeconds;
    state.counters["time_ratio"] = ddeSeconds / bareSeconds;
}

}  // namespace
}  // namespace norvale

BENCHMARK(norvale::Requests)->Name("DdeCtrl_vs_BareQtDBus/one_brand")->Arg(1)->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(norvale::Requests)->Name("DdeCtrl_vs_BareQtDBus/brands")->Arg(20)->Iterations(30)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QProcess server;
    server.start(QStringLiteral(NORVALE_QUOTE_SERVER), {QStringLiteral("--speed"), QStringLiteral("0")});
    if (!server.waitForReadyRead(10000) || !server.readAllStandardOutput().startsWith("ready")) {
        std::fprintf(stderr, "the quote server did not start; run this inside a session bus\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    server.kill();
    server.waitForFinished(10000);
    return 0;
}
