// A DDEML that passes every call on to another one: the base of the wrappers that watch or count
// what the program asks of a real DDEML, so each overrides only the calls it looks at.
#pragma once

#include "platform/Ddeml.h"

namespace norvale {

class ForwardingDdeml : public Ddeml {
public:
    explicit ForwardingDdeml(Ddeml& real) : real_(real) {}

    std::uint32_t Initialize(DdeInstance& instance, std::uint32_t flags) override {
        return real_.Initialize(instance, flags);
    }
    DdeString CreateStringHandle(DdeInstance instance, std::string_view ansi, int codePage) override {
        return real_.CreateStringHandle(instance, ansi, codePage);
    }
    bool FreeStringHandle(DdeInstance instance, DdeString handle) override {
        return real_.FreeStringHandle(instance, handle);
    }
    DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) override {
        return real_.Connect(instance, service, topic);
    }
    bool Disconnect(DdeConversation conversation) override { return real_.Disconnect(conversation); }
    DdeData ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format, std::uint32_t type,
                              std::uint32_t timeoutMs) override {
        return real_.ClientTransaction(conversation, item, format, type, timeoutMs);
    }
    std::uint32_t GetData(DdeData data, char* buffer, std::uint32_t length, std::uint32_t offset) override {
        return real_.GetData(data, buffer, length, offset);
    }
    bool FreeDataHandle(DdeData data) override { return real_.FreeDataHandle(data); }
    std::uint32_t GetLastError(DdeInstance instance) override { return real_.GetLastError(instance); }
    bool Uninitialize(DdeInstance instance) override { return real_.Uninitialize(instance); }

protected:
    Ddeml& real_;
};

}  // namespace norvale
