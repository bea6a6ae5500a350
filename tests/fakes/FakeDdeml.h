// Recording, scripted DDEML: a quote server in process whose answers a test decides.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Ddeml.h"

namespace norvale {

class FakeDdeml : public Ddeml {
public:
    // What the server does with one request: the CF_TEXT bytes (CP932), or an error code.
    struct Reply {
        std::optional<std::string> bytes;
        std::uint32_t error = dmlerr::kNotProcessed;
        std::int64_t ms = 0;  // how long the server takes; past the time limit it is a time-out
    };

    std::uint32_t Initialize(DdeInstance& instance, std::uint32_t flags) override {
        log.push_back("Initialize");
        initFlags = flags;
        if (initError == 0) instance = kInstance;
        return initError;
    }
    DdeString CreateStringHandle(DdeInstance instance, std::string_view ansi, int codePage) override {
        log.push_back("CreateStringHandle(" + std::string(ansi) + ")");
        lastCodePage = codePage;
        if (instance != kInstance || failStringHandles) return Fail<DdeString>(dmlerr::kDllNotInitialized);
        strings_[nextHandle_] = std::string(ansi);
        return DdeString{nextHandle_++};
    }
    bool FreeStringHandle(DdeInstance, DdeString handle) override {
        log.push_back("FreeStringHandle(" + strings_[static_cast<std::uint64_t>(handle)] + ")");
        strings_.erase(static_cast<std::uint64_t>(handle));
        return true;
    }
    DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) override {
        const std::string t = Text(strings_, static_cast<std::uint64_t>(topic));
        log.push_back("Connect(" + t + ")");
        clockMs += connectMs;
        if (instance != kInstance || !serverUp || Text(strings_, static_cast<std::uint64_t>(service)) != "RSS")
            return Fail<DdeConversation>(dmlerr::kNoConvEstablished);
        conversations[nextHandle_] = t;
        return DdeConversation{nextHandle_++};
    }
    bool Disconnect(DdeConversation conversation) override {
        log.push_back("Disconnect(" + conversations[static_cast<std::uint64_t>(conversation)] + ")");
        conversations.erase(static_cast<std::uint64_t>(conversation));
        return true;
    }
    DdeData ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format, std::uint32_t type,
                              std::uint32_t timeoutMs) override {
        const auto c = static_cast<std::uint64_t>(conversation);
        const std::string t = Text(conversations, c), i = Text(strings_, static_cast<std::uint64_t>(item));
        log.push_back("Request(" + t + "," + i + ")");
        ++requests;
        lastFormat = format, lastType = type, lastTimeout = timeoutMs;
        if (!conversations.contains(c)) return Fail<DdeData>(dmlerr::kNoConvEstablished);
        const Reply reply = server ? server(t, i) : Reply{};
        if (reply.ms > static_cast<std::int64_t>(timeoutMs)) {
            clockMs += timeoutMs;
            return Fail<DdeData>(dmlerr::kDataAckTimeout);
        }
        clockMs += reply.ms;
        if (!reply.bytes) return Fail<DdeData>(reply.error);
        data[nextHandle_] = *reply.bytes;
        return DdeData{nextHandle_++};
    }
    std::uint32_t GetData(DdeData handle, char* buffer, std::uint32_t length, std::uint32_t offset) override {
        const std::string withNul = data[static_cast<std::uint64_t>(handle)] + '\0';  // CF_TEXT carries its NUL
        if (offset >= withNul.size()) return 0;
        const std::uint32_t n = std::min<std::uint32_t>(length, static_cast<std::uint32_t>(withNul.size() - offset));
        std::memcpy(buffer, withNul.data() + offset, n);
        return n;
    }
    bool FreeDataHandle(DdeData handle) override { return data.erase(static_cast<std::uint64_t>(handle)), true; }
    std::uint32_t GetLastError(DdeInstance) override { return std::exchange(lastError, 0); }
    bool Uninitialize(DdeInstance) override {
        log.push_back("Uninitialize");
        return true;
    }

    static constexpr DdeInstance kInstance{77};
    bool serverUp = true, failStringHandles = false;
    std::uint32_t initError = 0;
    std::function<Reply(const std::string& topic, const std::string& item)> server;
    // Simulated time: a connect takes connectMs, a request what its reply says.
    std::int64_t clockMs = 0, connectMs = 0;

    std::vector<std::string> log;
    int requests = 0, lastCodePage = 0;
    std::uint32_t initFlags = 0, lastFormat = 0, lastType = 0, lastTimeout = 0, lastError = 0;
    std::map<std::uint64_t, std::string> conversations, data;  // live handles, with the text each stands for

private:
    template <typename Handle>
    Handle Fail(std::uint32_t code) {
        lastError = code;
        return Handle::kNone;
    }
    static std::string Text(const std::map<std::uint64_t, std::string>& m, std::uint64_t h) {
        return m.contains(h) ? m.at(h) : std::string();
    }
    std::map<std::uint64_t, std::string> strings_;
    std::uint64_t nextHandle_ = 1;
};

}  // namespace norvale
