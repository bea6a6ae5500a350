// Start-up load of a full brand master and a full watch list, beside a reference measured in
// the same run that looks every brand up by scanning the master, record by record.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ctime>
#include <vector>

#include "app/MainWindowLogic.h"
#include "bench/SampleFiles.h"
#include "bench/Timing.h"
#include "platform/TextCodec.h"
#include "table/Market.h"
#include "tests/fakes/FakePlatform.h"
#include "watchlist/FieldReader.h"
#include "watchlist/NumericText.h"
#include "watchlist/WatchListFile.h"

namespace norvale {
namespace {

using bench::kMasterRecords;
using bench::kWatchLines;

// The same load, from the same files, with the lookup that scans the master for every line.
void ReferenceStartUp(FileSystem& fs, const std::string& masterPath, const std::string& watchPath,
                      WatchTable& table) {
    std::pmr::memory_resource& memory = *std::pmr::get_default_resource();
    const std::string text = Cp932ToUtf8(fs.ReadAll(masterPath, kBrandMasterMaxBytes, memory).value_or(""));
    const std::pmr::string watch = fs.ReadAll(watchPath, kWatchListMaxBytes, memory).value_or("");
    std::vector<BrandRecord> records;
    records.reserve(kMasterRecords);
    FieldReader reader(text);
    while (!reader.AtEnd()) {
        BrandRecord r;
        r.codeText = reader.Next();
        r.brandName = reader.Next();
        (void)reader.Next();
        r.marketName = reader.Next();
        records.push_back(std::move(r));
    }
    table.Clear();
    std::size_t start = 0;
    while (start < watch.size() && !table.Full()) {
        std::size_t end = watch.find("\r\n", start);
        if (end == std::string::npos) end = watch.size();
        const std::string_view line(watch.data() + start, end - start);
        start = end + 2;
        const std::optional<BrandCode> code = ReadBrandCode(GetCsvField(line, 0), CodeForm::WatchList);
        if (!code) continue;
        for (const BrandRecord& r : records) {
            const std::optional<double> v = ParseNumber(r.codeText);
            if (!v || *v != code->Number()) continue;
            if (const auto suffix = MarketSuffix(r.marketName)) {
                (void)table.Append({*code, r.codeText, r.brandName, *suffix});
            }
            break;
        }
    }
}

void BM_StartUpLoad32767Brands1000Lines(benchmark::State& state) {
    const bench::SampleFiles& files = bench::FullFiles();
    FakePlatform fp;
    fp.files.pieceSize = 64 * 1024;  // as a real file is read
    const std::string masterPath = fp.files.InProgramFolder(kBrandMasterFileName);
    fp.files.files[masterPath] = files.master;
    const std::string watchPath = fp.files.InProgramFolder(kWatchListFileName);
    fp.files.files[watchPath] = files.watch;
    BrandMaster master;
    auto table = std::make_unique<WatchTable>();
    auto reference = std::make_unique<WatchTable>();

    bench::Figures figures;
    for (auto _ : state) {
        const bench::Took run = bench::TimeMs([&] {
            // What start-up does with the two files.
            master.LoadCp932File(fp.files, masterPath);
            (void)LoadWatchListFile(fp.files, watchPath, master, *table);
        });
        state.SetIterationTime(run.wallMs / 1000);
        const bench::Took ref = bench::TimeMs([&] { ReferenceStartUp(fp.files, masterPath, watchPath, *reference); });
        // Both must have built the same list, or the comparison means nothing.
        if (table->Count() != kWatchLines || reference->Count() != kWatchLines ||
            table->Entry(999).topic != reference->Entry(999).topic) {
            state.SkipWithError("the load and its reference disagree");
            return;
        }
        figures.Add(run, ref);
    }
    figures.Report(state, "ref_linear");
    state.counters["speedup"] = bench::Median(figures.refCpu) / bench::Median(figures.cpu);
}
BENCHMARK(BM_StartUpLoad32767Brands1000Lines)->UseManualTime()->Iterations(11)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace norvale
