// Bounded reads of regular files, whole-file writes of raw bytes, and the program folder.
#pragma once

#include <cstddef>
#include <functional>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>

namespace norvale {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Reads at most maxBytes of a regular file from its start, handing them to consume piece by
    // piece in order; consume returns false to stop early. False when the path is no regular
    // file (a folder, a FIFO, a device) or cannot be opened or read; it never waits for a writer.
    [[nodiscard]] virtual bool ReadPieces(const std::string& path, std::size_t maxBytes,
                                          const std::function<bool(std::string_view)>& consume) = 0;
    // Writes a new file and puts it in place of the old one only when every byte was
    // written; false on any failure, and then an existing file is left as it was.
    [[nodiscard]] virtual bool WriteAll(const std::string& path, std::string_view bytes) = 0;
    // Full path of a file in the folder that holds the executable.
    virtual std::string InProgramFolder(const std::string& name) const = 0;

    // The first maxBytes bytes at most of a regular file, in memory from the given resource; nullopt
    // as for ReadPieces. A platform may read it into one buffer of the file's size instead of piece
    // by piece.
    [[nodiscard]] virtual std::optional<std::pmr::string> ReadAll(const std::string& path, std::size_t maxBytes,
                                                                std::pmr::memory_resource& memory) {
        std::pmr::string bytes(&memory);
        const bool read = ReadPieces(path, maxBytes, [&](std::string_view piece) {
            bytes.append(piece);
            return true;
        });
        return read ? std::optional<std::pmr::string>(std::move(bytes)) : std::nullopt;
    }
};

}  // namespace norvale
