// Starts and ends the raw test quote server (rss_test_server.exe beside the running executable).
#pragma once

#include <string>

namespace norvale {

class ServerProcess {
public:
    ServerProcess() = default;
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    ~ServerProcess() { Kill(); }

    // Starts the server with the given options and waits until it answers initiations; false if it
    // could not be started or ended before saying it was ready (its first line is in readyLine()).
    [[nodiscard]] bool Start(const std::wstring& options);
    // Ends the server at once, without any DDE goodbye, as a crash or a kill would; waits until it is gone.
    void Kill();
    // Waits until the server has ended by itself (--lifetime); false if it still runs after ms.
    [[nodiscard]] bool WaitForExit(unsigned long ms);

    const std::string& readyLine() const { return readyLine_; }

private:
    void* process_ = nullptr;
    void* output_ = nullptr;
    std::string readyLine_;
};

}  // namespace norvale
