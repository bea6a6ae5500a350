// A DDEML over another one that notes what the program asks of it: the topic and item of every
// request and how long each blocked. For tests that drive the program against a real quote server.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/TextCodec.h"
#include "tests/fakes/CountingDdeml.h"

namespace norvale {

class TimedDdeml : public CountingDdeml {
public:
    explicit TimedDdeml(Ddeml& real) : CountingDdeml(real) {}

    DdeString CreateStringHandle(DdeInstance instance, std::string_view ansi, int codePage) override {
        const DdeString h = real_.CreateStringHandle(instance, ansi, codePage);
        if (h != DdeString::kNone) strings_[h] = Cp932ToUtf8(ansi);
        return h;
    }
    bool FreeStringHandle(DdeInstance instance, DdeString handle) override {
        strings_.erase(handle);
        return real_.FreeStringHandle(instance, handle);
    }
    DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) override {
        const DdeConversation c = real_.Connect(instance, service, topic);
        if (c != DdeConversation::kNone) conversations_[c] = strings_[topic];
        return c;
    }
    bool Disconnect(DdeConversation conversation) override {
        conversations_.erase(conversation);
        return real_.Disconnect(conversation);
    }
    DdeData ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format, std::uint32_t type,
                              std::uint32_t timeoutMs) override {
        Request r{conversations_.contains(conversation) ? conversations_[conversation] : std::string(),
                  strings_.contains(item) ? strings_[item] : std::string()};
        // onRequest runs as a request begins, before it is sent.
        if (onRequest) onRequest(r.topic, r.item, static_cast<int>(requests.size()) + 1);
        const auto t0 = std::chrono::steady_clock::now();
        const DdeData data = CountingDdeml::ClientTransaction(conversation, item, format, type, timeoutMs);
        r.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        maxRequestMs = std::max(maxRequestMs, r.ms);
        requests.push_back(std::move(r));
        return data;
    }

    struct Request {
        std::string topic, item;
        double ms = 0;
    };
    std::function<void(const std::string& topic, const std::string& item, int n)> onRequest;
    std::vector<Request> requests;  // transactions; a request whose connect failed never gets here
    double maxRequestMs = 0;

private:
    std::map<DdeString, std::string> strings_;
    std::map<DdeConversation, std::string> conversations_;
};

}  // namespace norvale
