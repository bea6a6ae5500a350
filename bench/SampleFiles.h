// A full brand master (codes 1 to 32767 on all four markets) and a full watch list of 1000
// codes spread over it, as the files lie on disk (CP932, CR LF).
#pragma once

#include <string>

#include "platform/TextCodec.h"

namespace norvale::bench {

inline constexpr int kMasterRecords = 32767;
inline constexpr int kWatchLines = 1000;

struct SampleFiles {
    std::string master;
    std::string watch;
};

inline const SampleFiles& FullFiles() {
    static const SampleFiles files = [] {
        // Names as long as those of listed companies: a stem and a trade, 4 to 13 characters.
        const char* const markets[] = {"東証", "大証", "JASDAQ", "HC"};
        const char* const stems[] = {"髙島", "東海", "日本", "ＡＢＣ", "北陸", "三和", "大和", "ソニック", "富士", "①号"};
        const char* const trades[] = {"工業", "製作所", "ホールディングス", "電機", "商事", "化学", "建設",
                                      "フィナンシャル・グループ", "食品", "精機～"};
        std::string master;
        for (int code = 1; code <= kMasterRecords; ++code) {
            master += std::to_string(code) + "," + stems[code % 10] + trades[code / 10 % 10] + ",100," +
                      markets[code % 4] + "\r\n";
        }
        std::string watch;
        unsigned seed = 12345;
        for (int i = 0; i < kWatchLines; ++i) {
            seed = seed * 1103515245u + 12345u;
            watch += std::to_string(1 + (seed >> 8) % kMasterRecords) + "\r\n";
        }
        return SampleFiles{Utf8ToCp932(master), watch};
    }();
    return files;
}

}  // namespace norvale::bench
