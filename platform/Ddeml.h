// The ten DDEML client calls the DDE layer uses, as an interface (ANSI entry points).
// Handles are opaque; the value 0 (kNone) means none or failure, as in DDEML.
#pragma once

#include <cstdint>
#include <string_view>

namespace norvale {

// Distinct handle types, so a string handle cannot be passed where a conversation is meant.
enum class DdeInstance : std::uint32_t { kNone = 0 };
enum class DdeString : std::uint64_t { kNone = 0 };
enum class DdeConversation : std::uint64_t { kNone = 0 };
enum class DdeData : std::uint64_t { kNone = 0 };

namespace dmlerr {
inline constexpr std::uint32_t kNoError = 0;
inline constexpr std::uint32_t kDataAckTimeout = 0x4002;
inline constexpr std::uint32_t kDllNotInitialized = 0x4003;
inline constexpr std::uint32_t kInvalidParameter = 0x4006;
inline constexpr std::uint32_t kNotProcessed = 0x4009;
inline constexpr std::uint32_t kNoConvEstablished = 0x400A;
inline constexpr std::uint32_t kPostMsgFailed = 0x400C;
inline constexpr std::uint32_t kServerDied = 0x400E;
inline constexpr std::uint32_t kSysError = 0x400F;
}  // namespace dmlerr

// The values of the calls that the DDE layer makes, as DDEML defines them.
inline constexpr std::uint32_t kCpWinAnsi = 1004;
// APPCMD_CLIENTONLY | CBF_SKIP_ALLNOTIFICATIONS
inline constexpr std::uint32_t kDdeClientFlags = 0x3C0010;
inline constexpr std::uint32_t kCfText = 1;
inline constexpr std::uint32_t kXtypRequest = 0x20B0;

class Ddeml {
public:
    virtual ~Ddeml() = default;
    // DdeInitializeA without a callback; returns a DMLERR code, 0 on success with instance set.
    virtual std::uint32_t Initialize(DdeInstance& instance, std::uint32_t commandFlags) = 0;
    // DdeCreateStringHandleA; text is in the ANSI code page (CP932). kNone on failure.
    virtual DdeString CreateStringHandle(DdeInstance instance, std::string_view ansi, int codePage) = 0;
    virtual bool FreeStringHandle(DdeInstance instance, DdeString handle) = 0;
    // DdeConnect with no conversation context; kNone when no server answers.
    virtual DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) = 0;
    virtual bool Disconnect(DdeConversation conversation) = 0;
    // DdeClientTransaction without data; a data handle, or kNone on failure or time-out.
    virtual DdeData ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format,
                                      std::uint32_t type, std::uint32_t timeoutMs) = 0;
    // DdeGetData: copies at most length bytes from offset into buffer; returns the count copied.
    virtual std::uint32_t GetData(DdeData data, char* buffer, std::uint32_t length, std::uint32_t offset) = 0;
    virtual bool FreeDataHandle(DdeData data) = 0;
    // The last error of the instance, reset to 0 by the call.
    virtual std::uint32_t GetLastError(DdeInstance instance) = 0;
    virtual bool Uninitialize(DdeInstance instance) = 0;
};

}  // namespace norvale
