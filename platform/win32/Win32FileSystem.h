// Whole-file reads and writes by Unicode path, and the folder of norvale.exe.
#pragma once

#include <functional>

#include "platform/FileSystem.h"

namespace norvale::win32 {

class Win32FileSystem final : public FileSystem {
public:
    bool ReadPieces(const std::string& path, std::size_t maxBytes,
                    const std::function<bool(std::string_view)>& consume) override;
    // Writes a temporary file in the same folder, flushes it to disk and puts it in place of
    // the old one with one rename (MoveFileExW), with the old one's attributes: a failure at any
    // step, or an old file marked read-only, leaves the old file byte for byte as it was.
    [[nodiscard]] bool WriteAll(const std::string& path, std::string_view bytes) override;
    std::string InProgramFolder(const std::string& name) const override;
};

}  // namespace norvale::win32
