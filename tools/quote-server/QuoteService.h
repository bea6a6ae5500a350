// The stand-in quote server's D-Bus object: answers ServesTopic and Request from the market simulation.
#pragma once

#include <QByteArray>
#include <QDBusContext>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/quote-server/MarketSim.h"

namespace norvale {

struct ServerOptions {
    std::uint64_t seed = 1;
    double clockSeconds = 10 * 3600;  // simulated time of day at start
    double speed = 1;                 // simulated seconds per real second
    int latencyMs = 0;
    int acceptMs = 0;  // delay of the answer to a conversation's start
    QSet<QString> hangTopics;
    QSet<QString> refuseTopics;
    bool garbage = false;
    std::int64_t exitAfter = -1;  // requests answered before the server quits; -1 never
    std::vector<std::string> replies;       // raw bytes answered in turn to every request, when not empty
    QHash<QString, QString> mirrorTopics;  // topic -> the topic whose values it is answered with
};

class QuoteService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.norvale.QuoteServer")

public:
    QuoteService(MarketSim& market, ServerOptions options, QObject* parent = nullptr);

public slots:
    // True when the topic is a brand this server serves and it has not been told to refuse.
    bool ServesTopic(const QString& topic);
    // The item's value as CP932 bytes with one terminating NUL; errors UnknownTopic or UnknownItem.
    QByteArray Request(const QString& topic, const QString& item);

private:
    double SecondsOfDay() const;

    MarketSim& market_;
    ServerOptions options_;
    QElapsedTimer started_;
    std::int64_t answered_ = 0;
    std::size_t nextReply_ = 0;
    std::uint64_t garbageRng_;
};

}  // namespace norvale
