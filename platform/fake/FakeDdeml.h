// Recording, scripted DDEML: a quote server in process whose answers a test decides.
#pragma once

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
    };

    std::uint32_t Initialize(std::uint32_t& instance, std::uint32_t flags) override {
        log.push_back("Initialize");
        initFlags = flags;
        if (initError != 0) return initError;
        instance = kInstance;
        return 0;
    }
    DdeHandle CreateStringHandle(std::uint32_t instance, std::string_view ansi, int codePage) override {
        log.push_back("CreateStringHandle(" + std::string(ansi) + ")");
        lastCodePage = codePage;
        if (instance != kInstance || failStringHandles) return Fail(dmlerr::kDllNotInitialized, instance);
        const DdeHandle h = nextHandle++;
        strings[h] = std::string(ansi);
        return h;
    }
    bool FreeStringHandle(std::uint32_t, DdeHandle h) override {
        log.push_back("FreeStringHandle(" + strings[h] + ")");
        strings.erase(h);
        return true;
    }
    DdeHandle Connect(std::uint32_t instance, DdeHandle service, DdeHandle topic) override {
        const std::string t = strings.count(topic) ? strings[topic] : std::string();
        log.push_back("Connect(" + t + ")");
        if (instance != kInstance || !serverUp || strings[service] != serviceName ||
            (acceptTopic && !acceptTopic(t)))
            return Fail(dmlerr::kNoConvEstablished, instance);
        const DdeHandle c = nextHandle++;
        conversations[c] = t;
        return c;
    }
    bool Disconnect(DdeHandle c) override {
        log.push_back("Disconnect(" + conversations[c] + ")");
        conversations.erase(c);
        return true;
    }
    DdeHandle ClientTransaction(DdeHandle c, DdeHandle item, std::uint32_t format, std::uint32_t type,
                                std::uint32_t timeoutMs) override {
        const std::string i = strings.count(item) ? strings[item] : std::string();
        const std::string t = conversations.count(c) ? conversations[c] : std::string();
        log.push_back("Request(" + t + "," + i + ")");
        ++requests;
        lastFormat = format;
        lastType = type;
        lastTimeout = timeoutMs;
        if (c == 0 || conversations.count(c) == 0) return Fail(dmlerr::kNoConvEstablished, kInstance);
        Reply reply = server ? server(t, i) : Reply{};
        if (!reply.bytes) return Fail(reply.error, kInstance);
        const DdeHandle d = nextHandle++;
        data[d] = *reply.bytes;
        return d;
    }
    std::uint32_t GetData(DdeHandle d, char* buffer, std::uint32_t length, std::uint32_t offset) override {
        const std::string& s = data[d];
        // CF_TEXT carries its terminating NUL.
        const std::string withNul = s + '\0';
        if (offset >= withNul.size()) return 0;
        const std::uint32_t n = std::min<std::uint32_t>(length, static_cast<std::uint32_t>(withNul.size() - offset));
        std::memcpy(buffer, withNul.data() + offset, n);
        return n;
    }
    bool FreeDataHandle(DdeHandle d) override {
        data.erase(d);
        return true;
    }
    std::uint32_t GetLastError(std::uint32_t) override {
        const std::uint32_t e = lastError;
        lastError = 0;
        return e;
    }
    bool Uninitialize(std::uint32_t) override {
        log.push_back("Uninitialize");
        return true;
    }

    static constexpr std::uint32_t kInstance = 77;
    std::string serviceName = "RSS";
    bool serverUp = true;
    bool failStringHandles = false;
    std::uint32_t initError = 0;
    std::function<bool(const std::string&)> acceptTopic;
    std::function<Reply(const std::string& topic, const std::string& item)> server;

    std::vector<std::string> log;
    int requests = 0;
    std::uint32_t initFlags = 0, lastFormat = 0, lastType = 0, lastTimeout = 0, lastError = 0;
    int lastCodePage = 0;
    std::map<DdeHandle, std::string> strings, conversations, data;

private:
    DdeHandle Fail(std::uint32_t code, std::uint32_t) {
        lastError = code;
        return 0;
    }
    DdeHandle nextHandle = 1;
};

}  // namespace norvale
