// Starting the raw test quote server as a child process with its output on a pipe.
#include "tools/dde-test-server/ServerProcess.h"

#include <windows.h>

namespace norvale {

namespace {

std::wstring ServerPath() {
    wchar_t self[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    path.resize(path.find_last_of(L"\\/") + 1);
    return path + L"rss_test_server.exe";
}

}  // namespace

bool ServerProcess::Start(const std::wstring& options) {
    Kill();
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + ServerPath() + L"\" " + options;
    const BOOL started =
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);  // only the child writes now, so a dead child ends the reads below
    if (!started) {
        CloseHandle(readEnd);
        return false;
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    output_ = readEnd;

    readyLine_.clear();
    char c = 0;
    DWORD got = 0;
    while (ReadFile(readEnd, &c, 1, &got, nullptr) && got == 1 && c != '\n') readyLine_ += c;
    if (!readyLine_.empty() && readyLine_.back() == '\r') readyLine_.pop_back();
    return readyLine_.rfind("ready", 0) == 0;
}

bool ServerProcess::WaitForExit(unsigned long ms) {
    return process_ == nullptr || WaitForSingleObject(process_, ms) == WAIT_OBJECT_0;
}

void ServerProcess::Kill() {
    if (process_ != nullptr) {
        TerminateProcess(process_, 9);
        WaitForSingleObject(process_, 10000);
        CloseHandle(process_);
        process_ = nullptr;
    }
    if (output_ != nullptr) {
        CloseHandle(output_);
        output_ = nullptr;
    }
}

}  // namespace norvale
