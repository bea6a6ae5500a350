// DDEML calls through user32's ANSI entry points.
#include "platform/win32/Win32Ddeml.h"

#include "platform/PlatformDdeml.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <ddeml.h>

#include <memory>
#include <string>

namespace norvale {

namespace {

// The DDEML keeps handles as pointers; the interface carries them as plain numbers.
template <typename H>
H FromHandle(DdeHandle h) {
    return reinterpret_cast<H>(static_cast<std::uintptr_t>(h));
}

template <typename H>
DdeHandle ToHandle(H h) {
    return static_cast<DdeHandle>(reinterpret_cast<std::uintptr_t>(h));
}

// A client-only instance that skips all notifications is never called back for synchronous
// requests; the DDEML may still report XTYP_ERROR (low memory), which must not land on a null
// pointer, so an empty callback stands where the caller passes none.
HDDEDATA CALLBACK IgnoreCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

}  // namespace

std::uint32_t Win32Ddeml::Initialize(std::uint32_t& instance, std::uint32_t commandFlags) {
    DWORD id = instance;
    const UINT rc = DdeInitializeA(&id, IgnoreCallback, commandFlags, 0);
    instance = id;
    return rc;
}

DdeHandle Win32Ddeml::CreateStringHandle(std::uint32_t instance, std::string_view ansi, int codePage) {
    const std::string text(ansi);  // the DDEML wants a terminating NUL
    return ToHandle(DdeCreateStringHandleA(instance, text.c_str(), codePage));
}

bool Win32Ddeml::FreeStringHandle(std::uint32_t instance, DdeHandle handle) {
    return DdeFreeStringHandle(instance, FromHandle<HSZ>(handle)) != FALSE;
}

DdeHandle Win32Ddeml::Connect(std::uint32_t instance, DdeHandle service, DdeHandle topic) {
    return ToHandle(DdeConnect(instance, FromHandle<HSZ>(service), FromHandle<HSZ>(topic), nullptr));
}

bool Win32Ddeml::Disconnect(DdeHandle conversation) { return DdeDisconnect(FromHandle<HCONV>(conversation)) != FALSE; }

DdeHandle Win32Ddeml::ClientTransaction(DdeHandle conversation, DdeHandle item, std::uint32_t format,
                                        std::uint32_t type, std::uint32_t timeoutMs) {
    return ToHandle(DdeClientTransaction(nullptr, 0, FromHandle<HCONV>(conversation), FromHandle<HSZ>(item), format,
                                         type, timeoutMs, nullptr));
}

std::uint32_t Win32Ddeml::GetData(DdeHandle data, char* buffer, std::uint32_t length, std::uint32_t offset) {
    return DdeGetData(FromHandle<HDDEDATA>(data), reinterpret_cast<LPBYTE>(buffer), length, offset);
}

bool Win32Ddeml::FreeDataHandle(DdeHandle data) { return DdeFreeDataHandle(FromHandle<HDDEDATA>(data)) != FALSE; }

std::uint32_t Win32Ddeml::GetLastError(std::uint32_t instance) { return DdeGetLastError(instance); }

bool Win32Ddeml::Uninitialize(std::uint32_t instance) { return DdeUninitialize(instance) != FALSE; }

std::unique_ptr<Ddeml> MakePlatformDdeml() { return std::make_unique<Win32Ddeml>(); }

}  // namespace norvale
