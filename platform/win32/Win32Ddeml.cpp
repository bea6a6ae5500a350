// DDEML calls through user32's ANSI entry points, made on a DDE thread and waited for with a bound.
#include "platform/win32/Win32Ddeml.h"

#include "platform/PlatformDdeml.h"

#include <windows.h>
#include <ddeml.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <utility>

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

// One call of the DDEML, made on the DDE thread. The caller reads the results once it is done.
struct Win32Ddeml::Job {
    enum class State { Queued, Running, Done };
    std::function<void(Job&)> call;
    std::function<void(Job&)> cleanUp;  // on the DDE thread, for a call whose caller stopped waiting
    State state = State::Queued;        // under the shared lock
    bool callerGone = false;            // under the shared lock
    std::uintptr_t handle = 0;
    DWORD instance = 0;
    UINT code = 0;
    std::string bytes;
};

struct Win32Ddeml::Shared {
    SRWLOCK lock = SRWLOCK_INIT;
    std::deque<std::shared_ptr<Job>> queue;
    bool quit = false;
    // An instance whose opening outlasted its caller's wait; the next Initialize takes it. The
    // first instance of a process can take the DDEML longer than a request may.
    DWORD lateInstance = 0;
    HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // a job or the quit for the DDE thread
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // a job ended, for the caller
    ~Shared() {
        if (wake != nullptr) CloseHandle(wake);
        if (done != nullptr) CloseHandle(done);
    }

    struct Locked {
        SRWLOCK& lock;
        explicit Locked(SRWLOCK& l) : lock(l) { AcquireSRWLockExclusive(&lock); }
        ~Locked() { ReleaseSRWLockExclusive(&lock); }
    };

    // The DDE thread: runs the jobs in order. Between them it answers messages sent to its windows
    // (another client's broadcast), but leaves posted ones (a late reply, a server's goodbye) to
    // the DDEML's next call, which takes them as it waits: a goodbye handled on its own leaves,
    // under Wine, a conversation that DdeDisconnect cannot end and DdeConnect hands out again.
    static DWORD WINAPI Main(void* parameter) {
        const std::unique_ptr<std::shared_ptr<Shared>> owner(static_cast<std::shared_ptr<Shared>*>(parameter));
        Shared& s = **owner;
        for (;;) {
            std::shared_ptr<Job> job;
            DWORD unclaimed = 0;
            {
                Locked l(s.lock);
                while (!s.queue.empty() && job == nullptr) {
                    job = std::move(s.queue.front());
                    s.queue.pop_front();
                    if (job->callerGone) job = nullptr;  // given up before it began
                }
                if (job == nullptr && s.quit) unclaimed = std::exchange(s.lateInstance, 0);
                if (job != nullptr) job->state = Job::State::Running;
            }
            if (job == nullptr && s.quit) {
                if (unclaimed != 0) DdeUninitialize(unclaimed);
                return 0;
            }
            if (job != nullptr) {
                job->call(*job);
                bool gone = false;
                {
                    Locked l(s.lock);
                    job->state = Job::State::Done;
                    gone = job->callerGone;
                }
                if (gone && job->cleanUp) job->cleanUp(*job);
                SetEvent(s.done);
                continue;
            }
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            MsgWaitForMultipleObjects(1, &s.wake, FALSE, INFINITE, QS_SENDMESSAGE);
        }
    }
};

Win32Ddeml::Win32Ddeml() : shared_(std::make_shared<Shared>()) {
    if (shared_->wake == nullptr || shared_->done == nullptr) return;
    auto* owner = new std::shared_ptr<Shared>(shared_);
    thread_ = CreateThread(nullptr, 0, &Shared::Main, owner, 0, nullptr);
    if (thread_ == nullptr) delete owner;
}

Win32Ddeml::~Win32Ddeml() {
    if (thread_ == nullptr) return;
    {
        Shared::Locked l(shared_->lock);
        shared_->quit = true;
    }
    SetEvent(shared_->wake);
    // A thread still held by the DDEML keeps its own share of the queue and ends with the process.
    const ULONGLONG deadline = GetTickCount64() + kCallLimitMs;
    for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread_, FALSE, static_cast<DWORD>(deadline - now),
                                                     QS_SENDMESSAGE);
        if (woke != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread_);
}

void Win32Ddeml::Post(const std::shared_ptr<Job>& job) {
    {
        Shared::Locked l(shared_->lock);
        shared_->queue.push_back(job);
    }
    SetEvent(shared_->wake);
}

bool Win32Ddeml::Run(const std::shared_ptr<Job>& job, std::uint32_t waitMs) {
    if (thread_ == nullptr) return false;
    Post(job);
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        {
            Shared::Locked l(shared_->lock);
            if (job->state == Job::State::Done) return true;
            if (now >= deadline) {
                job->callerGone = true;
                return false;
            }
        }
        // Messages sent to this thread's windows are answered meanwhile: DdeConnect's broadcast
        // reaches them, and would otherwise wait for this very wait. Posted ones stay queued.
        const DWORD woke = MsgWaitForMultipleObjects(1, &shared_->done, FALSE, static_cast<DWORD>(deadline - now),
                                                     QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}

std::uint32_t Win32Ddeml::Initialize(DdeInstance& instance, std::uint32_t commandFlags) {
    {
        Shared::Locked l(shared_->lock);
        if (shared_->lateInstance != 0) {
            lastInstance_ = std::exchange(shared_->lateInstance, 0);
            instance = static_cast<DdeInstance>(lastInstance_);
            return DMLERR_NO_ERROR;
        }
    }
    auto job = std::make_shared<Job>();
    job->instance = Id(instance);
    job->call = [commandFlags](Job& j) { j.code = DdeInitializeA(&j.instance, IgnoreCallback, commandFlags, 0); };
    job->cleanUp = [s = shared_.get()](Job& j) {
        if (j.code != DMLERR_NO_ERROR) return;
        {
            Shared::Locked l(s->lock);
            if (s->lateInstance == 0) {
                s->lateInstance = j.instance;
                return;
            }
        }
        DdeUninitialize(j.instance);
    };
    if (!Run(job, kCallLimitMs)) return DMLERR_SYS_ERROR;
    instance = static_cast<DdeInstance>(job->instance);
    if (job->code == DMLERR_NO_ERROR) lastInstance_ = job->instance;
    return job->code;
}

DdeString Win32Ddeml::CreateStringHandle(DdeInstance instance, std::string_view ansi, int codePage) {
    auto job = std::make_shared<Job>();
    job->instance = Id(instance);
    job->call = [text = std::string(ansi), codePage](Job& j) {  // the DDEML wants a terminating NUL
        j.handle = reinterpret_cast<std::uintptr_t>(DdeCreateStringHandleA(j.instance, text.c_str(), codePage));
        if (j.handle == 0) j.code = DdeGetLastError(j.instance);
    };
    job->cleanUp = [](Job& j) {
        if (j.handle != 0) DdeFreeStringHandle(j.instance, reinterpret_cast<HSZ>(j.handle));
    };
    if (!Run(job, kCallLimitMs)) {
        lastError_ = DMLERR_SYS_ERROR;
        return DdeString::kNone;
    }
    if (job->handle == 0) lastError_ = job->code;
    return static_cast<DdeString>(job->handle);
}

bool Win32Ddeml::FreeStringHandle(DdeInstance instance, DdeString handle) {
    auto job = std::make_shared<Job>();
    job->call = [id = Id(instance), h = FromHandle<HSZ>(handle)](Job&) { DdeFreeStringHandle(id, h); };
    Post(job);
    return thread_ != nullptr;
}

DdeConversation Win32Ddeml::Connect(DdeInstance instance, DdeString service, DdeString topic) {
    auto job = std::make_shared<Job>();
    job->instance = Id(instance);
    job->call = [s = FromHandle<HSZ>(service), t = FromHandle<HSZ>(topic)](Job& j) {
        j.handle = reinterpret_cast<std::uintptr_t>(DdeConnect(j.instance, s, t, nullptr));
        if (j.handle == 0) j.code = DdeGetLastError(j.instance);
    };
    job->cleanUp = [](Job& j) {
        if (j.handle != 0) DdeDisconnect(reinterpret_cast<HCONV>(j.handle));
    };
    if (!Run(job, kCallLimitMs)) {
        lastError_ = DMLERR_NO_CONV_ESTABLISHED;
        return DdeConversation::kNone;
    }
    if (job->handle == 0) {
        lastError_ = job->code;
        return DdeConversation::kNone;
    }
    instances_[job->handle] = job->instance;
    return static_cast<DdeConversation>(job->handle);
}

bool Win32Ddeml::Disconnect(DdeConversation conversation) {
    instances_.erase(static_cast<std::uint64_t>(conversation));
    auto job = std::make_shared<Job>();
    job->call = [c = FromHandle<HCONV>(conversation)](Job&) { DdeDisconnect(c); };
    Post(job);
    return thread_ != nullptr;
}

DdeData Win32Ddeml::ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format,
                                      std::uint32_t type, std::uint32_t timeoutMs) {
    auto job = std::make_shared<Job>();
    // The error of a call without a conversation goes to the instance opened last.
    const auto owner = instances_.find(static_cast<std::uint64_t>(conversation));
    job->instance = owner != instances_.end() ? owner->second : lastInstance_;
    job->call = [c = FromHandle<HCONV>(conversation), i = FromHandle<HSZ>(item), format, type, timeoutMs](Job& j) {
        HDDEDATA data = DdeClientTransaction(nullptr, 0, c, i, format, type, timeoutMs, nullptr);
        if (data == nullptr) {
            j.code = DdeGetLastError(j.instance);
            return;
        }
        j.handle = 1;
        j.bytes.resize(DdeGetData(data, nullptr, 0, 0));
        DdeGetData(data, reinterpret_cast<LPBYTE>(j.bytes.data()), static_cast<DWORD>(j.bytes.size()), 0);
        DdeFreeDataHandle(data);
    };
    if (!Run(job, timeoutMs + kHandOverMs)) {
        lastError_ = DMLERR_DATAACKTIMEOUT;
        return DdeData::kNone;
    }
    if (job->handle == 0) {
        lastError_ = job->code;
        return DdeData::kNone;
    }
    const std::uint64_t id = nextData_++;
    data_[id] = std::move(job->bytes);
    return static_cast<DdeData>(id);
}

std::uint32_t Win32Ddeml::GetData(DdeData data, char* buffer, std::uint32_t length, std::uint32_t offset) {
    const auto it = data_.find(static_cast<std::uint64_t>(data));
    if (it == data_.end()) {
        lastError_ = DMLERR_INVALIDPARAMETER;
        return 0;
    }
    const std::string& bytes = it->second;
    if (buffer == nullptr) return static_cast<std::uint32_t>(bytes.size());
    if (offset >= bytes.size()) return 0;
    const std::size_t n = std::min<std::size_t>(length, bytes.size() - offset);
    bytes.copy(buffer, n, offset);
    return static_cast<std::uint32_t>(n);
}

bool Win32Ddeml::FreeDataHandle(DdeData data) { return data_.erase(static_cast<std::uint64_t>(data)) != 0; }

std::uint32_t Win32Ddeml::GetLastError(DdeInstance) { return std::exchange(lastError_, 0u); }

bool Win32Ddeml::Uninitialize(DdeInstance instance) {
    std::erase_if(instances_, [&](const auto& entry) { return entry.second == Id(instance); });
    auto job = std::make_shared<Job>();
    job->call = [id = Id(instance)](Job& j) { j.code = DdeUninitialize(id); };
    return Run(job, kCallLimitMs) && job->code != 0;
}

std::unique_ptr<Ddeml> MakePlatformDdeml() { return std::make_unique<Win32Ddeml>(); }

}  // namespace norvale
