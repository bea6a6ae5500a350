// Fuzzes GetCsvField against the splitting it is defined by: wrap the line in commas, drop
// everything up to a comma index + 1 times, and take what stands before the next comma.
#include <cstddef>
#include <cstdint>
#include <string>

#include "watchlist/WatchListFile.h"

namespace {

std::string Defined(const std::string& line, int index) {
    std::string w = "," + line + ",";
    for (int i = 0; i <= index; ++i) {
        const std::size_t comma = w.find(',');
        if (comma != std::string::npos) w.erase(0, comma + 1);
    }
    const std::size_t comma = w.find(',');
    return comma == std::string::npos ? std::string() : w.substr(0, comma);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int index = data[0] % 16;
    const std::string line(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (norvale::GetCsvField(line, index) != Defined(line, index)) __builtin_trap();
    return 0;
}
