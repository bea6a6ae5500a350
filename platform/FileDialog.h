// The file dialog of import and export: one open-style dialog that remembers the last name chosen.
#pragma once

#include <optional>
#include <string>

namespace norvale {

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // Shows the dialog with a filter list written as "text|pattern|text|pattern…", the first
    // entry preselected; names that do not exist are accepted and nothing asks before an
    // overwrite. Returns the full path, or nullopt when cancelled or when the dialog failed.
    virtual std::optional<std::string> ShowOpen(const std::string& filter) = 0;
};

}  // namespace norvale
