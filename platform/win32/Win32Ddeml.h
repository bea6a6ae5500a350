// The real DDEML of Windows (user32, ANSI entry points) behind the Ddeml interface.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Ddeml.h"

namespace norvale {

// Each method is a thin call of the user32 function of the same name; handles are the DDEML's
// own HSZ, HCONV and HDDEDATA values, so their failures are the DDEML's (0 and DdeGetLastError).
class Win32Ddeml final : public Ddeml {
public:
    std::uint32_t Initialize(DdeInstance& instance, std::uint32_t commandFlags) override;
    DdeString CreateStringHandle(DdeInstance instance, std::string_view ansi, int codePage) override;
    bool FreeStringHandle(DdeInstance instance, DdeString handle) override;
    DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) override;
    bool Disconnect(DdeConversation conversation) override;
    DdeData ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format, std::uint32_t type,
                              std::uint32_t timeoutMs) override;
    std::uint32_t GetData(DdeData data, char* buffer, std::uint32_t length, std::uint32_t offset) override;
    bool FreeDataHandle(DdeData data) override;
    std::uint32_t GetLastError(DdeInstance instance) override;
    bool Uninitialize(DdeInstance instance) override;
};

}  // namespace norvale
