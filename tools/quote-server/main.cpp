// norvale-quote-server: the stand-in for the broker's quote server "RSS" on the D-Bus session bus.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDBusError>
#include <QFile>
#include <QTime>
#include <QTimer>

#include <cstdio>

#include "NorvaleVersion.h"
#include "platform/TextCodec.h"
#include "platform/dbus/QuoteBus.h"
#include "tools/quote-server/QuoteService.h"
#include "table/Market.h"
#include "watchlist/BrandMaster.h"
#include "watchlist/NumericText.h"

namespace {

int Fail(const QString& message) {
    std::fprintf(stderr, "norvale-quote-server: %s\n", qPrintable(message));
    return 2;
}

// Every brand of the master whose market has a topic suffix, under the topic a watch list gives it.
bool LoadMaster(const QString& path, norvale::MarketSim& market, int& count) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    norvale::BrandMaster master;
    master.Load(norvale::Cp932ToUtf8(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
    count = 0;
    for (int i = 0; i < master.BrandCount(); ++i) {
        const norvale::BrandRecord record = master[i];
        const std::optional<std::string> suffix = norvale::MarketSuffix(record.marketName);
        // Codes match as the master's lookup matches them.
        const std::optional<norvale::BrandCode> code =
            norvale::ReadBrandCode(record.codeText, norvale::CodeForm::Master);
        if (!suffix || !code) continue;
        market.AddBrand(norvale::TopicOf(*code, *suffix), record.brandName);
        ++count;
    }
    return true;
}

// The lines of a file split at LF, every other byte kept; a last LF ends the last line.
bool LoadReplies(const QString& path, std::vector<std::string>& replies) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QByteArray bytes = file.readAll();
    if (bytes.endsWith('\n')) bytes.chop(1);
    for (const QByteArray& line : bytes.split('\n')) replies.push_back(line.toStdString());
    return !replies.empty();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("norvale-quote-server"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NORVALE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Serves simulated quotes on the D-Bus session bus."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption busName(QStringLiteral("bus-name"), QStringLiteral("Well-known bus name to own."),
                                     QStringLiteral("name"), norvale::quotebus::BusNameFor(QStringLiteral("RSS")));
    const QCommandLineOption masterPath(QStringLiteral("master"),
                                        QStringLiteral("Brand master (CP932 mei_code.txt); its brands are the "
                                                       "topics served. Without it every code.t/os/q/oj is served."),
                                        QStringLiteral("path"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the market simulation."),
                                  QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption clock(QStringLiteral("clock"), QStringLiteral("Simulated time of day at start."),
                                   QStringLiteral("hh:mm[:ss]"), QStringLiteral("10:00"));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("Simulated seconds per real second; 0 freezes the market."),
                                   QStringLiteral("x"), QStringLiteral("1"));
    const QCommandLineOption latency(QStringLiteral("latency-ms"), QStringLiteral("Delay of every reply."),
                                     QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption accept(QStringLiteral("accept-ms"),
                                    QStringLiteral("Delay of the answer to a conversation's start."),
                                    QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption hang(QStringLiteral("hang-topic"),
                                  QStringLiteral("Never answer requests on this topic (repeatable)."),
                                  QStringLiteral("topic"));
    const QCommandLineOption refuse(QStringLiteral("refuse-topic"),
                                    QStringLiteral("Refuse conversations on this topic (repeatable)."),
                                    QStringLiteral("topic"));
    const QCommandLineOption garbage(QStringLiteral("garbage"),
                                     QStringLiteral("Answer with random broken values: long, not CP932, NaN..."));
    const QCommandLineOption exitAfter(QStringLiteral("exit-after"),
                                       QStringLiteral("Answer n requests, then vanish at the next one."),
                                       QStringLiteral("n"));
    const QCommandLineOption replies(QStringLiteral("replies"),
                                     QStringLiteral("Answer the requests in turn with the lines of this file, "
                                                    "its raw bytes as they are (cycled)."),
                                     QStringLiteral("path"));
    const QCommandLineOption mirror(QStringLiteral("mirror-topic"),
                                    QStringLiteral("Answer requests on topic T with the values of topic U "
                                                   "(repeatable)."),
                                    QStringLiteral("T=U"));
    parser.addOptions({busName, masterPath, seed, clock, speed, latency, accept, hang, refuse, garbage, exitAfter,
                       replies, mirror});
    parser.process(app);

    norvale::ServerOptions options;
    bool ok = true;
    options.seed = parser.value(seed).toULongLong(&ok);
    if (!ok) return Fail(QStringLiteral("--seed wants a number"));
    QTime start = QTime::fromString(parser.value(clock), QStringLiteral("H:mm:ss"));
    if (!start.isValid()) start = QTime::fromString(parser.value(clock), QStringLiteral("H:mm"));
    if (!start.isValid()) return Fail(QStringLiteral("--clock wants hh:mm or hh:mm:ss"));
    options.clockSeconds = start.msecsSinceStartOfDay() / 1000.0;
    options.speed = parser.value(speed).toDouble(&ok);
    if (!ok || options.speed < 0) return Fail(QStringLiteral("--speed wants a number of 0 or more"));
    options.latencyMs = parser.value(latency).toInt(&ok);
    if (!ok || options.latencyMs < 0) return Fail(QStringLiteral("--latency-ms wants a number of 0 or more"));
    options.acceptMs = parser.value(accept).toInt(&ok);
    if (!ok || options.acceptMs < 0) return Fail(QStringLiteral("--accept-ms wants a number of 0 or more"));
    for (const QString& topic : parser.values(hang)) options.hangTopics.insert(topic);
    for (const QString& topic : parser.values(refuse)) options.refuseTopics.insert(topic);
    options.garbage = parser.isSet(garbage);
    if (parser.isSet(exitAfter)) {
        options.exitAfter = parser.value(exitAfter).toLongLong(&ok);
        if (!ok || options.exitAfter < 0) return Fail(QStringLiteral("--exit-after wants a number of 0 or more"));
    }

    if (parser.isSet(replies)) {
        if (!LoadReplies(parser.value(replies), options.replies))
            return Fail(QStringLiteral("cannot read the replies ") + parser.value(replies));
    }
    for (const QString& pair : parser.values(mirror)) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq <= 0 || eq + 1 == pair.size()) return Fail(QStringLiteral("--mirror-topic wants T=U"));
        options.mirrorTopics.insert(pair.left(eq), pair.mid(eq + 1));
    }

    norvale::MarketSim market(options.seed);
    if (parser.isSet(masterPath)) {
        int brands = 0;
        if (!LoadMaster(parser.value(masterPath), market, brands))
            return Fail(QStringLiteral("cannot read the brand master ") + parser.value(masterPath));
        if (brands == 0) return Fail(QStringLiteral("no brand with a known market in ") + parser.value(masterPath));
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return Fail(QStringLiteral("no session bus: ") + bus.lastError().message());
    norvale::QuoteService service(market, options);
    if (!bus.registerObject(norvale::quotebus::kObjectPath, &service, QDBusConnection::ExportAllSlots))
        return Fail(QStringLiteral("cannot register the object: ") + bus.lastError().message());
    const QString name = parser.value(busName);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> owned = bus.interface()->registerService(
        name, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!owned.isValid())
        return Fail(QStringLiteral("cannot own ") + name + QStringLiteral(": ") + owned.error().message());
    if (owned.value() != QDBusConnectionInterface::ServiceRegistered)
        return Fail(name + QStringLiteral(" is owned by another server already"));
    // Nothing else ends a server whose private bus went away (a test's dbus-run-session, say).
    QTimer busWatch;
    QObject::connect(&busWatch, &QTimer::timeout, &app, [&bus] {
        if (!bus.isConnected()) QCoreApplication::exit(0);
    });
    busWatch.start(1000);
    std::printf("ready %s\n", qPrintable(name));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
