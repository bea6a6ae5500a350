// The smaller platform services on Qt: event pump, file dialog, message box, single
// instance, files.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

#include "platform/EventPump.h"
#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/InstanceGuard.h"
#include "platform/MessageBox.h"

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

class QtMessageBox : public MessageBox {
public:
    explicit QtMessageBox(QWidget* parent) : parent_(parent) {}
    void ShowCriticalOkCancel(const std::string& text, const std::string& title) override;

private:
    QWidget* parent_;
};

// One lock file per user in a folder no other user can write (the runtime folder). Only a lock
// held by a live Norvale counts as another instance; when the lock cannot be taken for any other
// reason, Norvale starts and says why on standard error.
class QtInstanceGuard : public InstanceGuard {
public:
    explicit QtInstanceGuard(QString lockPath = DefaultLockPath());
    bool AnotherInstanceRunning() override;
    // The lock in the runtime folder, or in a folder of Norvale's own in the user's cache when
    // there is no runtime folder; never in a folder that other users can write.
    static QString DefaultLockPath();
    // Why a second instance could not be ruled out at the last check; empty when it could.
    const QString& Doubt() const { return doubt_; }

private:
    QString lockPath_;
    std::unique_ptr<QLockFile> lock_;
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
