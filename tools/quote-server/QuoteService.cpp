#include "tools/quote-server/QuoteService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>

#include <unistd.h>

#include <cstdio>
#include <utility>

#include "platform/TextCodec.h"
#include "platform/dbus/QuoteBus.h"

namespace norvale {

QuoteService::QuoteService(MarketSim& market, ServerOptions options, QObject* parent)
    : QObject(parent), market_(market), options_(std::move(options)), garbageRng_(options_.seed) {
    started_.start();
}

double QuoteService::SecondsOfDay() const {
    return options_.clockSeconds + options_.speed * static_cast<double>(started_.elapsed()) / 1000.0;
}

bool QuoteService::ServesTopic(const QString& topic) {
    const bool serves = !options_.refuseTopics.contains(topic) && market_.Serves(topic.toStdString());
    if (options_.acceptMs <= 0 || !calledFromDBus()) return serves;
    setDelayedReply(true);
    QDBusMessage answer = message().createReply(QVariant::fromValue(serves));
    QDBusConnection bus = connection();
    QTimer::singleShot(options_.acceptMs, this, [bus, answer]() mutable { bus.send(answer); });
    return serves;
}

QByteArray QuoteService::Request(const QString& topic, const QString& item) {
    if (options_.exitAfter >= 0 && answered_ >= options_.exitAfter) {
        // Gone as if killed: the pending call is left without a reply.
        std::fflush(nullptr);
        ::_exit(0);
    }
    ++answered_;
    if (options_.hangTopics.contains(topic)) {
        setDelayedReply(true);  // and never answer
        return {};
    }
    if (options_.refuseTopics.contains(topic) || !market_.Serves(topic.toStdString())) {
        sendErrorReply(quotebus::kErrorUnknownTopic, QStringLiteral("topic not served: ") + topic);
        return {};
    }

    std::string bytes;
    if (options_.garbage) {
        bytes = GarbageBytes(garbageRng_);
    } else if (!options_.replies.empty()) {
        bytes = options_.replies[nextReply_++ % options_.replies.size()];
        bytes.push_back('\0');
    } else {
        // A mirrored topic is answered with another brand's values, as a confused server would.
        const QString source = options_.mirrorTopics.value(topic, topic);
        const std::optional<std::string> value =
            market_.Value(source.toStdString(), item.toStdString(), SecondsOfDay());
        if (!value) {
            sendErrorReply(quotebus::kErrorUnknownItem, QStringLiteral("item not served: ") + item);
            return {};
        }
        bytes = Utf8ToCp932(*value);
        bytes.push_back('\0');
    }
    QByteArray reply(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (options_.latencyMs <= 0) return reply;

    setDelayedReply(true);
    QDBusMessage answer = message().createReply(QVariant::fromValue(reply));
    QDBusConnection bus = connection();
    QTimer::singleShot(options_.latencyMs, this, [bus, answer]() mutable { bus.send(answer); });
    return {};
}

}  // namespace norvale
