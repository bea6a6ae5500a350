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

// One lock file per user in the runtime folder; a lock whose owner died is taken over.
class QtInstanceGuard : public InstanceGuard {
public:
    explicit QtInstanceGuard(QString lockPath = DefaultLockPath());
    bool AnotherInstanceRunning() override;
    static QString DefaultLockPath();

private:
    std::unique_ptr<QLockFile> lock_;
};

class QtFileSystem : public FileSystem {
public:
    std::optional<std::string> ReadAll(const std::string& path) override;
    bool WriteAll(const std::string& path, std::string_view bytes) override;
    std::string InProgramFolder(const std::string& name) const override;
};

}  // namespace norvale
