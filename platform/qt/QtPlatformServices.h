// The smaller platform services on Qt: event pump, file dialog, message box, single
// instance, files.
#pragma once

#include <QString>
#include <memory>

#include "platform/Alert.h"
#include "platform/EventPump.h"
#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/InstanceGuard.h"

class QWidget;

namespace norvale {

class QtEventPump : public EventPump {
public:
    void RunPending() override;
};

class QtFileDialog : public FileDialog {
public:
    explicit QtFileDialog(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> ShowOpen(const std::string& filter) override;

private:
    QWidget* parent_;
    QString lastName_;
};

class QtAlert : public Alert {
public:
    explicit QtAlert(QWidget* parent) : parent_(parent) {}
    void ShowCriticalOkCancel(const std::string& text, const std::string& title) override;

private:
    QWidget* parent_;
};

// One lock per user and machine, in a folder no other user can write. The lock is the kernel's
// (flock) on that file: held while Norvale runs and let go when it ends, however it ends, so only a
// live Norvale of this user on this machine can hold it, whatever the file names. When the lock
// cannot be tried for any other reason, Norvale starts and says why on standard error.
class QtInstanceGuard : public InstanceGuard {
public:
    explicit QtInstanceGuard(QString lockPath = DefaultLockPath());
    ~QtInstanceGuard() override;
    QtInstanceGuard(const QtInstanceGuard&) = delete;
    QtInstanceGuard& operator=(const QtInstanceGuard&) = delete;
    bool AnotherInstanceRunning() override;
    // The lock in the runtime folder; where there is none, in a folder of Norvale's own in the
    // user's cache, named after the machine, as a home folder may be shared by several.
    static QString DefaultLockPath();
    // Why a second instance could not be ruled out at the last check; empty when it could.
    const QString& Doubt() const { return doubt_; }

private:
    QString lockPath_;
    int lockFd_ = -1;  // open, and locked, while this process holds the claim
    QString doubt_;
};

class QtFileSystem : public FileSystem {
public:
    bool ReadPieces(const std::string& path, std::size_t maxBytes,
                    const std::function<bool(std::string_view)>& consume) override;
    std::optional<std::string> ReadAll(const std::string& path, std::size_t maxBytes) override;
    bool WriteAll(const std::string& path, std::string_view bytes) override;
    std::string InProgramFolder(const std::string& name) const override;
};

}  // namespace norvale
