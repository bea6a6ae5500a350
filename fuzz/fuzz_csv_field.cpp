// Fuzzes GetCsvField against the splitting it is defined by: wrap the line in commas, drop
// everything up to a comma index + 1 times, and take what stands before the next comma.
#include "fuzz/FuzzInput.h"
#include "watchlist/WatchListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int index = data[0] % 16;
    const std::string line = norvale::fuzz::Text(data + 1, size - 1);
    std::string w = "," + line + ",";
    for (int i = 0; i <= index && w.find(',') != std::string::npos; ++i) w.erase(0, w.find(',') + 1);
    const std::size_t comma = w.find(',');
    norvale::fuzz::Check(norvale::GetCsvField(line, index) == (comma == std::string::npos ? "" : w.substr(0, comma)));
    return 0;
}
