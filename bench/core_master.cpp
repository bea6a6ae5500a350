// norvale-master on a list of 4,000 listed issues beside a plain read of the same file, and the start-up
// with the master it makes beside an empty start, each measured in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/MainWindowLogic.h"
#include "bench/Timing.h"
#include "platform/TextCodec.h"
#include "tests/fakes/FakePlatform.h"
#include "tools/master/ListedIssues.h"

namespace norvale {
namespace {

// The exchange's list as Excel saves it (CP932): its ten columns, 4,000 rows, one in five a code with letters.
const std::string& ListBytes() {
    static const std::string bytes = [] {
        const char* const sections[] = {"プライム（内国株式）", "スタンダード（内国株式）", "グロース（内国株式）",
                                        "ETF・ETN", "REIT・ベンチャーファンド・カントリーファンド・インフラファンド"};
        const char* const names[] = {"極洋", "\"日本,水産\"", "ﾊﾙｶｾﾞ創薬", "三菱ＵＦＪフィナンシャル・グループ"};
        std::string list =
            "日付,コード,銘柄名,市場・商品区分,33業種コード,33業種区分,17業種コード,17業種区分,規模コード,規模区分\r\n";
        for (int i = 0; i < 4000; ++i) {
            const std::string code = i % 5 == 0 ? std::to_string(130 + i / 5 % 800) + "ACDFGHJKLMNPRSTUWXY"[i / 5 / 800 % 19]
                                                : std::to_string(1300 + i * 2);
            list += "20261130," + code + "," + names[i % 4] + "," + sections[i % 5] +
                    ",3050,水産・農林業,1,食品 ,7,TOPIX Small 2\r\n";
        }
        return Utf8ToCp932(list);
    }();
    return bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Reading the list, converting it and writing the master (without the flush to disk of the real
// program); reference: reading the same file.
void BM_MasterFrom4000ListedIssues(benchmark::State& state) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::filesystem::path list = folder / "norvale-bench-list.csv";
    const std::filesystem::path master = folder / "norvale-bench-mei_code.txt";
    std::ofstream(list, std::ios::binary) << ListBytes();
    bench::Figures figures;
    for (auto _ : state) {
        int brands = 0;
        const bench::Took run = bench::TimeMs([&] {
            const master::ListConversion c = master::ConvertList(ReadFile(list));
            std::ofstream(master, std::ios::binary) << c.master;
            brands = c.brands;
        });
        state.SetIterationTime(run.wallMs / 1000);
        std::string plain;
        const bench::Took ref = bench::TimeMs([&] { plain = ReadFile(list); });
        if (brands != 4000 || plain.size() != ListBytes().size()) {
            state.SkipWithError("the list did not convert");
            return;
        }
        figures.Add(run, ref);
    }
    figures.Report(state, "ref_read");
    std::filesystem::remove(list);
    std::filesystem::remove(master);
}
BENCHMARK(BM_MasterFrom4000ListedIssues)->UseManualTime()->Iterations(21)->Unit(benchmark::kMillisecond);

// Norvale's whole start-up with that master and a watch list of 1000 of its brands (every fourth a code
// with letters); reference: the same start-up without either file.
void BM_StartUpWithTheConvertedMaster(benchmark::State& state) {
    const std::string master = master::ConvertList(ListBytes()).master;
    std::string watch;
    for (int i = 0; i < 1000; ++i) {
        // Rows 5j + 1 to 5j + 4 of the list have numeric codes, 1300 + 2 × row.
        watch += i % 4 == 0 ? std::to_string(130 + i % 800) + "A" : std::to_string(1300 + 2 * (i / 4 * 5 + i % 4 + 1));
        watch += "\r\n";
    }
    bench::Figures figures;
    for (auto _ : state) {
        auto full = std::make_unique<FakePlatform>();
        full->files.pieceSize = 64 * 1024;  // as a real file is read
        full->files.files[full->files.InProgramFolder(kBrandMasterFileName)] = master;
        full->files.files[full->files.InProgramFolder(kWatchListFileName)] = watch;
        auto empty = std::make_unique<FakePlatform>();
        std::unique_ptr<MainWindowLogic> withMaster, without;
        const bench::Took run = bench::TimeMs([&] {
            withMaster = std::make_unique<MainWindowLogic>(full->platform);
            (void)withMaster->StartUp();
        });
        state.SetIterationTime(run.wallMs / 1000);
        const bench::Took ref = bench::TimeMs([&] {
            without = std::make_unique<MainWindowLogic>(empty->platform);
            (void)without->StartUp();
        });
        if (withMaster->Table().Count() != 1000 || without->Table().Count() != 0) {
            state.SkipWithError("the start-up did not load the list");
            return;
        }
        figures.Add(run, ref);
    }
    figures.Report(state, "ref_empty_start");
}
BENCHMARK(BM_StartUpWithTheConvertedMaster)->UseManualTime()->Iterations(21)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace norvale
