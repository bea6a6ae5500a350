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

// The DDEML keeps handles as pointers; the interface carries them as enums of plain numbers.
template <typename H, typename E>
H FromHandle(E h) {
    return reinterpret_cast<H>(static_cast<std::uintptr_t>(h));
}

template <typename E, typename H>
E ToHandle(H h) {
    return static_cast<E>(reinterpret_cast<std::uintptr_t>(h));
}

DWORD Id(DdeInstance instance) { return static_cast<DWORD>(instance); }

// A client-only instance that skips all notifications is never called back for synchronous
// requests; the DDEML may still report XTYP_ERROR (low memory), which must not land on a null
// pointer, so an empty callback stands where the caller passes none.
HDDEDATA CALLBACK IgnoreCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

}  // namespace

std::uint32_t Win32Ddeml::Initialize(DdeInstance& instance, std::uint32_t commandFlags) {
    DWORD id = Id(instance);
    const UINT rc = DdeInitializeA(&id, IgnoreCallback, commandFlags, 0);
    instance = static_cast<DdeInstance>(id);
    return rc;
}

DdeString Win32Ddeml::CreateStringHandle(DdeInstance instance, std::string_view ansi, int codePage) {
    const std::string text(ansi);  // the DDEML wants a terminating NUL
    return ToHandle<DdeString>(DdeCreateStringHandleA(Id(instance), text.c_str(), codePage));
}

bool Win32Ddeml::FreeStringHandle(DdeInstance instance, DdeString handle) {
    return DdeFreeStringHandle(Id(instance), FromHandle<HSZ>(handle)) != FALSE;
}

DdeConversation Win32Ddeml::Connect(DdeInstance instance, DdeString service, DdeString topic) {
    return ToHandle<DdeConversation>(
        DdeConnect(Id(instance), FromHandle<HSZ>(service), FromHandle<HSZ>(topic), nullptr));
}

bool Win32Ddeml::Disconnect(DdeConversation conversation) {
    return DdeDisconnect(FromHandle<HCONV>(conversation)) != FALSE;
}

DdeData Win32Ddeml::ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format,
                                      std::uint32_t type, std::uint32_t timeoutMs) {
    return ToHandle<DdeData>(DdeClientTransaction(nullptr, 0, FromHandle<HCONV>(conversation),
                                                  FromHandle<HSZ>(item), format, type, timeoutMs, nullptr));
}

std::uint32_t Win32Ddeml::GetData(DdeData data, char* buffer, std::uint32_t length, std::uint32_t offset) {
    return DdeGetData(FromHandle<HDDEDATA>(data), reinterpret_cast<LPBYTE>(buffer), length, offset);
}

bool Win32Ddeml::FreeDataHandle(DdeData data) { return DdeFreeDataHandle(FromHandle<HDDEDATA>(data)) != FALSE; }

std::uint32_t Win32Ddeml::GetLastError(DdeInstance instance) { return DdeGetLastError(Id(instance)); }

bool Win32Ddeml::Uninitialize(DdeInstance instance) { return DdeUninitialize(Id(instance)) != FALSE; }

std::unique_ptr<Ddeml> MakePlatformDdeml() { return std::make_unique<Win32Ddeml>(); }

}  // namespace norvale
