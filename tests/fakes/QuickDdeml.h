// A quote server in process that answers at once and records nothing: for benchmarks and long runs,
// where a recording fake would grow with every request.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Ddeml.h"

namespace norvale {

// The least a DDEML can do: string handles from a free list, a conversation per topic handle, one
// data handle alive at a time. Without an answer function every request gets "12,345".
class QuickDdeml : public Ddeml {
public:
    // Fills out with the CF_TEXT bytes (CP932, no NUL needed) for topic and item, both CP932;
    // false fails the request with DMLERR_NOTPROCESSED.
    using Answer = std::function<bool(std::string_view topic, std::string_view item, std::string& out)>;

    std::uint32_t Initialize(DdeInstance& instance, std::uint32_t) override {
        instance = DdeInstance{1};
        return 0;
    }
    DdeString CreateStringHandle(DdeInstance, std::string_view ansi, int) override {
        if (free_.empty()) {
            strings_.emplace_back(ansi);
            return DdeString{strings_.size()};
        }
        const std::uint64_t h = free_.back();
        free_.pop_back();
        strings_[h - 1].assign(ansi);
        return DdeString{h};
    }
    bool FreeStringHandle(DdeInstance, DdeString handle) override {
        const auto h = static_cast<std::uint64_t>(handle);
        if (h == 0 || h > strings_.size()) return false;
        free_.push_back(h);
        return true;
    }
    // The conversation is the topic's own handle, which the DDE layer keeps while it talks.
    DdeConversation Connect(DdeInstance, DdeString, DdeString topic) override {
        return DdeConversation{static_cast<std::uint64_t>(topic)};
    }
    bool Disconnect(DdeConversation) override { return true; }
    DdeData ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t, std::uint32_t,
                              std::uint32_t) override {
        ++requests;
        if (!answer) {
            reply_.assign("12,345");
        } else if (!answer(Text(static_cast<std::uint64_t>(conversation)), Text(static_cast<std::uint64_t>(item)),
                           reply_)) {
            lastError_ = dmlerr::kNotProcessed;
            return DdeData::kNone;
        }
        return kData;
    }
    std::uint32_t GetData(DdeData data, char* buffer, std::uint32_t length, std::uint32_t offset) override {
        const std::size_t size = reply_.size() + 1;  // CF_TEXT carries its terminating NUL
        if (data != kData || offset >= size) return 0;
        const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(length, size - offset));
        std::memcpy(buffer, reply_.c_str() + offset, n);
        return n;
    }
    bool FreeDataHandle(DdeData) override { return true; }
    std::uint32_t GetLastError(DdeInstance) override { return std::exchange(lastError_, 0); }
    bool Uninitialize(DdeInstance) override { return true; }

    Answer answer;
    long requests = 0;

private:
    static constexpr DdeData kData{1};

    std::string_view Text(std::uint64_t h) const {
        return h == 0 || h > strings_.size() ? std::string_view() : std::string_view(strings_[h - 1]);
    }

    std::vector<std::string> strings_;
    std::vector<std::uint64_t> free_;
    std::string reply_;
    std::uint32_t lastError_ = 0;
};

}  // namespace norvale
