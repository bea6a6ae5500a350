// The window system's services on Qt that the core calls: the event pump, the file dialog and the alert.
#pragma once

#include <QString>

#include "platform/Alert.h"
#include "platform/EventPump.h"
#include "platform/FileDialog.h"

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

}  // namespace norvale
