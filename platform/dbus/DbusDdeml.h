// DDEML over the D-Bus session bus: the stand-in used on Linux.
#pragma once

#include <QDBusConnection>
#include <QString>

#include <cstdint>
#include <map>
#include <string>

#include "platform/Ddeml.h"
#include "platform/dbus/QuoteBus.h"

namespace norvale {

// A DDE service S is the bus name busNamePrefix + S; a conversation is bound to the unique name of
// the server that answered the connect, as a DDE conversation is bound to the server's window, so
// a server that goes away fails the conversation while a new connect finds a restarted one.
class DbusDdeml : public Ddeml {
public:
    explicit DbusDdeml(QString busNamePrefix = quotebus::kBusNamePrefix, int connectTimeoutMs = 1000);
    ~DbusDdeml() override;
    DbusDdeml(const DbusDdeml&) = delete;
    DbusDdeml& operator=(const DbusDdeml&) = delete;

    // Opens a private session-bus connection; DMLERR_SYS_ERROR when there is no session bus.
    std::uint32_t Initialize(std::uint32_t& instance, std::uint32_t commandFlags) override;
    DdeHandle CreateStringHandle(std::uint32_t instance, std::string_view ansi, int codePage) override;
    bool FreeStringHandle(std::uint32_t instance, DdeHandle handle) override;
    // Asks the service whether it serves the topic; 0 (DMLERR_NO_CONV_ESTABLISHED) when no server
    // owns the name, the server refuses the topic or does not answer within the connect limit.
    DdeHandle Connect(std::uint32_t instance, DdeHandle service, DdeHandle topic) override;
    bool Disconnect(DdeHandle conversation) override;
    // Request(topic, item) to the conversation's server, blocking without running events for at most
    // timeoutMs; 0 with DMLERR_DATAACKTIMEOUT, DMLERR_POSTMSG_FAILED (server gone) or
    // DMLERR_NOTPROCESSED (item refused, a reply that is no text).
    DdeHandle ClientTransaction(DdeHandle conversation, DdeHandle item, std::uint32_t format, std::uint32_t type,
                                std::uint32_t timeoutMs) override;
    std::uint32_t GetData(DdeHandle data, char* buffer, std::uint32_t length, std::uint32_t offset) override;
    bool FreeDataHandle(DdeHandle data) override;
    std::uint32_t GetLastError(std::uint32_t instance) override;
    bool Uninitialize(std::uint32_t instance) override;

private:
    struct Instance {
        QDBusConnection connection{QString()};
        std::uint32_t lastError = 0;
    };
    struct StringHandle {
        std::uint32_t instance = 0;
        QString text;  // as sent on the bus, UTF-8 there
    };
    struct Conversation {
        std::uint32_t instance = 0;
        QString server;  // unique bus name of the server that accepted the topic
        QString topic;
    };
    struct Data {
        std::uint32_t instance = 0;
        std::string bytes;  // CF_TEXT: ends in one NUL
    };

    DdeHandle Fail(std::uint32_t instance, std::uint32_t code);
    void FailEverywhere(std::uint32_t code);

    QString busNamePrefix_;
    int connectTimeoutMs_;
    std::map<std::uint32_t, Instance> instances_;
    std::map<DdeHandle, StringHandle> strings_;
    std::map<DdeHandle, Conversation> conversations_;
    std::map<DdeHandle, Data> data_;
    std::uint32_t nextInstance_ = 1;
    DdeHandle nextHandle_ = 1;
};

}  // namespace norvale
