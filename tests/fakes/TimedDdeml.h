// A DDEML over another one that notes what the program asks of it: the topic and item of every
// request, how long each request blocked, whether it failed. For tests that drive the
// program against a real quote server.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/TextCodec.h"
#include "tests/fakes/CountingDdeml.h"

namespace norvale {

// onRequest runs as a request begins, before it is sent.
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
        const DdeConversation c = CountingDdeml::Connect(instance, service, topic);
        if (c != DdeConversation::kNone) conversations_[c] = strings_[topic];
        return c;
    }
    bool Disconnect(DdeConversation conversation) override {
        conversations_.erase(conversation);
        return real_.Disconnect(conversation);
    }
    DdeData ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format, std::uint32_t type,
                              std::uint32_t timeoutMs) override {
        Request r{conversations_.count(conversation) ? conversations_[conversation] : std::string(),
                  strings_.count(item) ? strings_[item] : std::string(), 0, false};
        if (onRequest) onRequest(r.topic, r.item, static_cast<int>(requests.size()) + 1);
        const auto t0 = Clock::now();
        const DdeData data = CountingDdeml::ClientTransaction(conversation, item, format, type, timeoutMs);
        r.ms = MsSince(t0);
        r.failed = data == DdeData::kNone;
        maxRequestMs = std::max(maxRequestMs, r.ms);
        requests.push_back(std::move(r));
        return data;
    }

    struct Request {
        std::string topic;
        std::string item;
        double ms = 0;
        bool failed = false;
    };
    int Failures(std::size_t from = 0) const {
        return static_cast<int>(std::count_if(requests.begin() + static_cast<std::ptrdiff_t>(from), requests.end(),
                                              [](const Request& r) { return r.failed; }));
    }

    std::function<void(const std::string& topic, const std::string& item, int n)> onRequest;
    std::vector<Request> requests;  // transactions; a request whose connect failed never gets here
    double maxRequestMs = 0;

private:
    using Clock = std::chrono::steady_clock;
    static double MsSince(Clock::time_point t0) {
        return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    }

    std::map<DdeString, std::string> strings_;
    std::map<DdeConversation, std::string> conversations_;
};

}  // namespace norvale
