// The files on Qt: bounded reads of regular files, whole-file writes that replace a file only when
// complete, and the program's folder.
#pragma once

#include <functional>

#include "platform/FileSystem.h"

namespace norvale {

class QtFileSystem : public FileSystem {
public:
    bool ReadPieces(const std::string& path, std::size_t maxBytes,
                    const std::function<bool(std::string_view)>& consume) override;
    std::optional<std::pmr::string> ReadAll(const std::string& path, std::size_t maxBytes,
                                            std::pmr::memory_resource& memory) override;
    bool WriteAll(const std::string& path, std::string_view bytes) override;
    std::string InProgramFolder(const std::string& name) const override;
};

}  // namespace norvale
