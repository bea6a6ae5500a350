// Names of the quote server's D-Bus interface, shared by the client backend and the stand-in server.
#pragma once

#include <QString>

namespace norvale::quotebus {

// A DDE service name S is served on the session bus under kBusNamePrefix + S.
inline const QString kBusNamePrefix = QStringLiteral("org.norvale.QuoteServer.");
inline const QString kObjectPath = QStringLiteral("/org/norvale/QuoteServer");
inline const QString kInterface = QStringLiteral("org.norvale.QuoteServer");

// ServesTopic(s topic) -> (b served)
inline const QString kServesTopic = QStringLiteral("ServesTopic");
// Request(s topic, s item) -> (ay cp932Text), the text ends in one NUL like CF_TEXT.
inline const QString kRequest = QStringLiteral("Request");

inline const QString kErrorUnknownTopic = QStringLiteral("org.norvale.QuoteServer.Error.UnknownTopic");
inline const QString kErrorUnknownItem = QStringLiteral("org.norvale.QuoteServer.Error.UnknownItem");

// The D-Bus bus name for a DDE service name.
inline QString BusNameFor(const QString& service) { return kBusNamePrefix + service; }

}  // namespace norvale::quotebus
