// Recording, scripted DDEML: a quote server in process whose answers a test decides.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
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
        if (initError != 0) return initError;
        instance = kInstance;
        return 0;
    }
    DdeString CreateStringHandle(DdeInstance instance, std::string_view ansi, int codePage) override {
        log.push_back("CreateStringHandle(" + std::string(ansi) + ")");
        lastCodePage = codePage;
        if (instance != kInstance || failStringHandles) return Fail<DdeString>(dmlerr::kDllNotInitialized);
        const std::uint64_t h = nextHandle++;
        strings[h] = std::string(ansi);
        return DdeString{h};
    }
    bool FreeStringHandle(DdeInstance, DdeString handle) override {
        const auto h = static_cast<std::uint64_t>(handle);
        log.push_back("FreeStringHandle(" + strings[h] + ")");
        strings.erase(h);
        return true;
    }
    DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) override {
        const auto th = static_cast<std::uint64_t>(topic);
        const std::string t = strings.count(th) ? strings[th] : std::string();
        log.push_back("Connect(" + t + ")");
        clockMs += connectMs;
        if (instance != kInstance || !serverUp || strings[static_cast<std::uint64_t>(service)] != serviceName)
            return Fail<DdeConversation>(dmlerr::kNoConvEstablished);
        const std::uint64_t c = nextHandle++;
        conversations[c] = t;
        return DdeConversation{c};
    }
    bool Disconnect(DdeConversation conversation) override {
        const auto c = static_cast<std::uint64_t>(conversation);
        log.push_back("Disconnect(" + conversations[c] + ")");
        conversations.erase(c);
        return true;
    }
    DdeData ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format, std::uint32_t type,
                              std::uint32_t timeoutMs) override {
        const auto c = static_cast<std::uint64_t>(conversation);
        const auto ih = static_cast<std::uint64_t>(item);
        const std::string i = strings.count(ih) ? strings[ih] : std::string();
        const std::string t = conversations.count(c) ? conversations[c] : std::string();
        log.push_back("Request(" + t + "," + i + ")");
        ++requests;
        lastFormat = format;
        lastType = type;
        lastTimeout = timeoutMs;
        if (c == 0 || conversations.count(c) == 0) return Fail<DdeData>(dmlerr::kNoConvEstablished);
        Reply reply = server ? server(t, i) : Reply{};
        if (reply.ms > static_cast<std::int64_t>(timeoutMs)) {
            clockMs += timeoutMs;
            return Fail<DdeData>(dmlerr::kDataAckTimeout);
        }
        clockMs += reply.ms;
        if (!reply.bytes) return Fail<DdeData>(reply.error);
        const std::uint64_t d = nextHandle++;
        data[d] = *reply.bytes;
        return DdeData{d};
    }
    std::uint32_t GetData(DdeData handle, char* buffer, std::uint32_t length, std::uint32_t offset) override {
        // CF_TEXT carries its terminating NUL.
        const std::string withNul = data[static_cast<std::uint64_t>(handle)] + '\0';
        if (offset >= withNul.size()) return 0;
        const std::uint32_t n = std::min<std::uint32_t>(length, static_cast<std::uint32_t>(withNul.size() - offset));
        std::memcpy(buffer, withNul.data() + offset, n);
        return n;
    }
    bool FreeDataHandle(DdeData handle) override {
        data.erase(static_cast<std::uint64_t>(handle));
        return true;
    }
    std::uint32_t GetLastError(DdeInstance) override {
        const std::uint32_t e = lastError;
        lastError = 0;
        return e;
    }
    bool Uninitialize(DdeInstance) override {
        log.push_back("Uninitialize");
        return true;
    }

    static constexpr DdeInstance kInstance{77};
    std::string serviceName = "RSS";
    bool serverUp = true;
    bool failStringHandles = false;
    std::uint32_t initError = 0;
    std::function<Reply(const std::string& topic, const std::string& item)> server;

    // Simulated time: a connect takes connectMs, a request what its reply says.
    std::int64_t clockMs = 0;
    std::int64_t connectMs = 0;

    std::vector<std::string> log;
    int requests = 0;
    std::uint32_t initFlags = 0, lastFormat = 0, lastType = 0, lastTimeout = 0, lastError = 0;
    int lastCodePage = 0;
    // Live handles by number, with the text each stands for.
    std::map<std::uint64_t, std::string> strings, conversations, data;

private:
    template <typename Handle>
    Handle Fail(std::uint32_t code) {
        lastError = code;
        return Handle::kNone;
    }
    std::uint64_t nextHandle = 1;
};

}  // namespace norvale
