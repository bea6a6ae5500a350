// Scripted file dialog: answers with the next queued path, or a cancel when none is left.
#pragma once

#include <deque>
#include <optional>
#include <string>

#include "platform/FileDialog.h"

namespace norvale {

class FakeFileDialog : public FileDialog {
public:
    std::optional<std::string> ShowOpen(const std::string&) override {
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<std::optional<std::string>> answers;
};

}  // namespace norvale
