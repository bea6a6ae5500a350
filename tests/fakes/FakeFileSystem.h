// In-memory file system; paths are plain keys. Files are handed out in small pieces, so
// readers meet line ends and characters split between two pieces.
#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace norvale {

class FakeFileSystem : public FileSystem {
public:
    bool ReadPieces(const std::string& path, std::size_t maxBytes,
                    const std::function<bool(std::string_view)>& consume) override {
        const auto it = files.find(path);
        if (it == files.end() || notRegular.contains(path)) return false;
        const std::string_view all = std::string_view(it->second).substr(0, maxBytes);
        for (std::size_t at = 0; at < all.size(); at += pieceSize) {
            const std::string_view piece = all.substr(at, pieceSize);
            bytesRead[path] += piece.size();
            if (!consume(piece)) break;
        }
        return true;
    }
    bool WriteAll(const std::string& path, std::string_view bytes) override {
        if (unwritable.contains(path)) return false;
        files[path] = std::string(bytes);
        return true;
    }
    std::string InProgramFolder(const std::string& name) const override { return "/norvale/" + name; }

    std::map<std::string, std::string> files;
    std::set<std::string> unwritable, notRegular;  // notRegular: a FIFO or a device, never read
    std::size_t pieceSize = 5;
    std::map<std::string, std::size_t> bytesRead;
};

}  // namespace norvale
