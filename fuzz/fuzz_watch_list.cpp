// Fuzzes the watch list reader with arbitrary file bytes against a small master: what it reads is
// whole, and exported reads back as the same brands in the same slots. And GetCsvField, on the bytes after
// the first (whose value picks the field), against the splitting it is defined by: wrap the line in commas,
// drop everything up to a comma index + 1 times, and take what stands before the next comma.
#include <memory>

#include "fuzz/FuzzInput.h"
#include "watchlist/WatchListFile.h"

using namespace norvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const BrandMaster master = [] {
        BrandMaster m;
        m.Load("7203,トヨタ自動車,100,東証\r\n6758,ソニーグループ,100,東証\r\n1321,日経225,1,大証\r\n3765,ガンホー,100,HC\r\n"
               "13010,五桁,100,東証\r\n07201,日産自動車,100,東証\r\n-5,負,100,大証\r\n9999,海外,100,NYSE\r\n"
               "130A,新規上場,100,東証\r\n 2a5c ,小文字,100,HC\r\n");
        return m;
    }();
    static auto table = std::make_unique<WatchTable>(), again = std::make_unique<WatchTable>();
    const std::string bytes = fuzz::Text(data, size);

    const WatchListLoad load = ReadWatchList(bytes, master, *table);
    fuzz::Check(load.status != WatchListStatus::Malformed || (table->Count() == 0 && load.errorLine >= 1));
    const WatchListLoad reload = ReadWatchList(WatchListBytes(*table), master, *again);
    fuzz::Check(reload.status == WatchListStatus::Loaded && again->Count() == table->Count());
    for (int k = 0; k < table->Count(); ++k) {
        const WatchEntry &e = table->Entry(k), &back = again->Entry(k);
        fuzz::Check(!e.topic.empty() && !e.codeText.empty() && !e.marketSuffix.empty() && table->SlotInRow(k) == k &&
                    back.code == e.code && back.topic == e.topic);
    }

    if (size == 0) return 0;
    const int index = data[0] % 16;
    const std::string line = bytes.substr(1);
    std::string w = "," + line + ",";
    for (int i = 0; i <= index && w.find(',') != std::string::npos; ++i) w.erase(0, w.find(',') + 1);
    const std::size_t comma = w.find(',');
    fuzz::Check(GetCsvField(line, index) == (comma == std::string::npos ? "" : w.substr(0, comma)));
    return 0;
}
