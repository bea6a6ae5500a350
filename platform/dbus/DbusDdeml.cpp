#include "platform/dbus/DbusDdeml.h"

namespace norvale {

std::uint32_t DbusDdeml::Initialize(std::uint32_t&, std::uint32_t) { return dmlerr::kSysError; }
DdeHandle DbusDdeml::CreateStringHandle(std::uint32_t, std::string_view, int) { return 0; }
bool DbusDdeml::FreeStringHandle(std::uint32_t, DdeHandle) { return false; }
DdeHandle DbusDdeml::Connect(std::uint32_t, DdeHandle, DdeHandle) { return 0; }
bool DbusDdeml::Disconnect(DdeHandle) { return false; }
DdeHandle DbusDdeml::ClientTransaction(DdeHandle, DdeHandle, std::uint32_t, std::uint32_t, std::uint32_t) { return 0; }
std::uint32_t DbusDdeml::GetData(DdeHandle, char*, std::uint32_t, std::uint32_t) { return 0; }
bool DbusDdeml::FreeDataHandle(DdeHandle) { return false; }
std::uint32_t DbusDdeml::GetLastError(std::uint32_t) { return dmlerr::kDllNotInitialized; }
bool DbusDdeml::Uninitialize(std::uint32_t) { return true; }

}  // namespace norvale
