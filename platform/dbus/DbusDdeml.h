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
    // A connect waits at most connectTimeoutMs: by default the 500 ms a request may take, so a
    // server slow to accept a conversation holds the window no longer than one that does not answer.
    explicit DbusDdeml(QString busNamePrefix = quotebus::kBusNamePrefix, int connectTimeoutMs = 500);
    ~DbusDdeml() override;
    DbusDdeml(const DbusDdeml&) = delete;
    DbusDdeml& operator=(const DbusDdeml&) = delete;

    // Opens a private session-bus connection; DMLERR_SYS_ERROR when there is no session bus.
    std::uint32_t Initialize(DdeInstance& instance, std::uint32_t commandFlags) override;
    DdeString CreateStringHandle(DdeInstance instance, std::string_view ansi, int codePage) override;
    bool FreeStringHandle(DdeInstance instance, DdeString handle) override;
    // Asks the service whether it serves the topic; 0 (DMLERR_NO_CONV_ESTABLISHED) when no server
    // owns the name, the server refuses the topic or does not answer within the connect limit.
    DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) override;
    bool Disconnect(DdeConversation conversation) override;
    // Request(topic, item) to the conversation's server, blocking without running events for at most
    // timeoutMs; 0 with DMLERR_DATAACKTIMEOUT, DMLERR_POSTMSG_FAILED (server gone) or
    // DMLERR_NOTPROCESSED (item refused, a reply that is no text).
    DdeData ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format, std::uint32_t type,
                              std::uint32_t timeoutMs) override;
    std::uint32_t GetData(DdeData data, char* buffer, std::uint32_t length, std::uint32_t offset) override;
    bool FreeDataHandle(DdeData data) override;
    std::uint32_t GetLastError(DdeInstance instance) override;
    bool Uninitialize(DdeInstance instance) override;

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

    // Every handle kind is numbered from one counter, as DDEML's are distinct pointers.
    using Handle = std::uint64_t;
    // Records code as the instance's last error.
    void Charge(std::uint32_t instance, std::uint32_t code);
    void FailEverywhere(std::uint32_t code);

    QString busNamePrefix_;
    int connectTimeoutMs_;
    std::map<std::uint32_t, Instance> instances_;
    std::map<Handle, StringHandle> strings_;
    std::map<Handle, Conversation> conversations_;
    std::map<Handle, Data> data_;
    std::uint32_t nextInstance_ = 1;
    Handle nextHandle_ = 1;
};

}  // namespace norvale
