// Scripted file dialog: answers with the next queued path, or a cancel when none is left.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileDialog.h"

namespace norvale {

class FakeFileDialog : public FileDialog {
public:
    std::optional<std::string> ShowOpen(const std::string& filter) override {
        filters.push_back(filter);
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }

    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> filters;
};

}  // namespace norvale
