// Fuzzes the watch list reader with arbitrary file bytes against a small master: what it reads is
// whole, and exported reads back as the same brands in the same slots.
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
    return 0;
}
