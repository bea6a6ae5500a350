// The real DDEML of Windows (user32, ANSI entry points) behind the Ddeml interface, on a thread of its own.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Ddeml.h"

namespace norvale {

// The DDEML can hold its thread far longer than a request may: DdeDisconnect waits up to 10 s for
// a hung server's reply to its goodbye, and DdeConnect's broadcast waits for every top-level
// window, a hung server's included. So the instance lives on a DDE thread of this object, and the
// calling thread waits for each call at most a bounded time, handling only the messages other
// threads send it meanwhile (the broadcast reaches its windows too); it never runs its own
// window's events there. A call that takes longer fails for the caller and is cleaned up on the
// DDE thread when it ends: a late conversation is ended, late data or a late handle freed.
//
// Handles are the DDEML's own HSZ and HCONV values; a transaction's data is copied out on the
// DDE thread and freed there at once, so GetData and FreeDataHandle work on that copy.
class Win32Ddeml final : public Ddeml {
public:
    // What a call other than a transaction may wait: the limit of a quote request.
    static constexpr std::uint32_t kCallLimitMs = 500;
    // What a transaction may wait beyond its own time-out, for the DDE thread to hand it back.
    static constexpr std::uint32_t kHandOverMs = 50;

    Win32Ddeml();
    // Waits for the DDE thread at most kCallLimitMs; one still held by the DDEML is left to end
    // with the process.
    ~Win32Ddeml() override;
    Win32Ddeml(const Win32Ddeml&) = delete;
    Win32Ddeml& operator=(const Win32Ddeml&) = delete;

    // DMLERR_SYS_ERROR when the DDE thread could not be started or did not answer in time; an
    // instance that the DDEML opens after that is handed out by the next call.
    std::uint32_t Initialize(DdeInstance& instance, std::uint32_t commandFlags) override;
    // kNone with DMLERR_SYS_ERROR when the DDE thread did not answer in time.
    DdeString CreateStringHandle(DdeInstance instance, std::string_view ansi, int codePage) override;
    // Done on the DDE thread without waiting; true once handed over.
    bool FreeStringHandle(DdeInstance instance, DdeString handle) override;
    // kNone with DMLERR_NO_CONV_ESTABLISHED when the connect took longer than kCallLimitMs.
    DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) override;
    // Done on the DDE thread without waiting, however long the server takes to say goodbye.
    bool Disconnect(DdeConversation conversation) override;
    // kNone with DMLERR_DATAACKTIMEOUT when the DDE thread did not hand the answer back within
    // timeoutMs and kHandOverMs (it was busy with an earlier call that still waits on a server).
    DdeData ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format, std::uint32_t type,
                              std::uint32_t timeoutMs) override;
    std::uint32_t GetData(DdeData data, char* buffer, std::uint32_t length, std::uint32_t offset) override;
    bool FreeDataHandle(DdeData data) override;
    std::uint32_t GetLastError(DdeInstance instance) override;
    // False when the DDE thread did not end the instance within kCallLimitMs; it goes on doing so.
    bool Uninitialize(DdeInstance instance) override;

    struct Job;
    struct Shared;

private:
    // Hands job to the DDE thread and waits at most waitMs for it; false if it did not end in
    // time (the DDE thread then runs its clean-up, if any, when it ends).
    bool Run(const std::shared_ptr<Job>& job, std::uint32_t waitMs);
    // Hands job to the DDE thread and returns at once.
    void Post(const std::shared_ptr<Job>& job);

    std::shared_ptr<Shared> shared_;
    void* thread_ = nullptr;
    std::map<std::uint64_t, std::uint32_t> instances_;  // the instance of each live conversation
    std::uint32_t lastInstance_ = 0;
    std::map<std::uint64_t, std::string> data_;  // copies of the transactions' data, CF_TEXT NUL included
    std::uint64_t nextData_ = 1;
    std::uint32_t lastError_ = 0;
};

}  // namespace norvale
