// Fuzzes the watch list reader with arbitrary file bytes against a small master.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "watchlist/WatchListFile.h"

using namespace norvale;

namespace {

const BrandMaster& Master() {
    static const BrandMaster master = [] {
        BrandMaster m;
        m.Load("7203,トヨタ自動車,100,東証\r\n6758,ソニーグループ,100,東証\r\n1321,日経225,1,大証\r\n"
               "2702,日本マクドナルド,100,JASDAQ\r\n3765,ガンホー,100,HC\r\n13010,五桁,100,東証\r\n"
               "07201,日産自動車,100,東証\r\n1,一,100,東証\r\n-5,負,100,大証\r\n9999,海外,100,NYSE\r\n"
               "130A,新規上場,100,東証\r\n 2a5c ,小文字,100,HC\r\n");
        return m;
    }();
    return master;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto table = std::make_unique<WatchTable>();
    static auto again = std::make_unique<WatchTable>();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const WatchListLoad load = ReadWatchList(bytes, Master(), *table);
    if (load.status == WatchListStatus::Malformed && (table->Count() != 0 || load.errorLine < 1)) __builtin_trap();
    for (int k = 0; k < table->Count(); ++k) {
        const WatchEntry& e = table->Entry(k);
        if (e.topic.empty() || e.codeText.empty() || e.marketSuffix.empty() || table->SlotInRow(k) != k) __builtin_trap();
    }

    // What is exported reads back as the same brands in the same slots.
    const WatchListLoad reload = ReadWatchList(WatchListBytes(*table), Master(), *again);
    if (reload.status != WatchListStatus::Loaded || again->Count() != table->Count()) __builtin_trap();
    for (int k = 0; k < table->Count(); ++k) {
        if (again->Entry(k).code != table->Entry(k).code || again->Entry(k).topic != table->Entry(k).topic) __builtin_trap();
    }
    return 0;
}
