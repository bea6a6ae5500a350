// The ten DDEML client calls the DDE layer uses, as an interface (ANSI entry points).
// Handles are opaque non-zero numbers; 0 means none or failure, as in DDEML.
#pragma once

#include <cstdint>
#include <string_view>

namespace norvale {

using DdeHandle = std::uint64_t;

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
    virtual std::uint32_t Initialize(std::uint32_t& instance, std::uint32_t commandFlags) = 0;
    // DdeCreateStringHandleA; text is in the ANSI code page (CP932). 0 on failure.
    virtual DdeHandle CreateStringHandle(std::uint32_t instance, std::string_view ansi, int codePage) = 0;
    virtual bool FreeStringHandle(std::uint32_t instance, DdeHandle handle) = 0;
    // DdeConnect with no conversation context; 0 when no server answers.
    virtual DdeHandle Connect(std::uint32_t instance, DdeHandle service, DdeHandle topic) = 0;
    virtual bool Disconnect(DdeHandle conversation) = 0;
    // DdeClientTransaction without data; a data handle, or 0 on failure or timeout.
    virtual DdeHandle ClientTransaction(DdeHandle conversation, DdeHandle item, std::uint32_t format,
                                        std::uint32_t type, std::uint32_t timeoutMs) = 0;
    // DdeGetData: copies at most length bytes from offset into buffer; returns the count copied.
    virtual std::uint32_t GetData(DdeHandle data, char* buffer, std::uint32_t length, std::uint32_t offset) = 0;
    virtual bool FreeDataHandle(DdeHandle data) = 0;
    // The last error of the instance, reset to 0 by the call.
    virtual std::uint32_t GetLastError(std::uint32_t instance) = 0;
    virtual bool Uninitialize(std::uint32_t instance) = 0;
};

}  // namespace norvale
