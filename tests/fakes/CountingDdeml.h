// A DDEML that passes every call on to another one and counts the requests: for
// tests and benchmarks over a real DDEML, and the base of the wrappers that watch it more closely.
#pragma once

#include "platform/Ddeml.h"

namespace norvale {

class CountingDdeml : public Ddeml {
public:
    explicit CountingDdeml(Ddeml& real) : real_(real) {}

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
        ++transactions;
        return real_.ClientTransaction(conversation, item, format, type, timeoutMs);
    }
    std::uint32_t GetData(DdeData data, char* buffer, std::uint32_t length, std::uint32_t offset) override {
        return real_.GetData(data, buffer, length, offset);
    }
    bool FreeDataHandle(DdeData data) override { return real_.FreeDataHandle(data); }
    std::uint32_t GetLastError(DdeInstance instance) override { return real_.GetLastError(instance); }
    bool Uninitialize(DdeInstance instance) override { return real_.Uninitialize(instance); }

    long transactions = 0;

protected:
    Ddeml& real_;
};

}  // namespace norvale
