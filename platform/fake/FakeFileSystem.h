// In-memory file system; paths are plain keys.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace norvale {

class FakeFileSystem : public FileSystem {
public:
    std::optional<std::string> ReadAll(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool WriteAll(const std::string& path, std::string_view bytes) override {
        if (unwritable.count(path) != 0) return false;
        files[path] = std::string(bytes);
        return true;
    }
    std::string InProgramFolder(const std::string& name) const override { return "/norvale/" + name; }

    std::map<std::string, std::string> files;
    std::set<std::string> unwritable;
};

}  // namespace norvale
