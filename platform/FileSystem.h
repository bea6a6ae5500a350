// Whole-file reads and writes of raw bytes, and the program folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace norvale {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The file's bytes, or nullopt when it cannot be opened or read.
    virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
    // Writes a new file and puts it in place of the old one only when every byte was
    // written; false on any failure, and then an existing file is left as it was.
    [[nodiscard]] virtual bool WriteAll(const std::string& path, std::string_view bytes) = 0;
    // Full path of a file in the folder that holds the executable.
    virtual std::string InProgramFolder(const std::string& name) const = 0;
};

}  // namespace norvale
