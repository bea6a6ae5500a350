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
    std::uint32_t Initialize(std::uint32_t& instance, std::uint32_t commandFlags) override;
    DdeHandle CreateStringHandle(std::uint32_t instance, std::string_view ansi, int codePage) override;
    bool FreeStringHandle(std::uint32_t instance, DdeHandle handle) override;
    DdeHandle Connect(std::uint32_t instance, DdeHandle service, DdeHandle topic) override;
    bool Disconnect(DdeHandle conversation) override;
    DdeHandle ClientTransaction(DdeHandle conversation, DdeHandle item, std::uint32_t format, std::uint32_t type,
                                std::uint32_t timeoutMs) override;
    std::uint32_t GetData(DdeHandle data, char* buffer, std::uint32_t length, std::uint32_t offset) override;
    bool FreeDataHandle(DdeHandle data) override;
    std::uint32_t GetLastError(std::uint32_t instance) override;
    bool Uninitialize(std::uint32_t instance) override;
};

}  // namespace norvale
