// Watch tables for tests and benchmarks, built through the table's own operations, as the watch list
// and a refresh pass build them; and the brand master and watch list files of test brands.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "table/Market.h"
#include "table/WatchTable.h"

namespace norvale::test {

// "7203" is watched on "t", "9984.oj" on "oj": a brand as a topic names it.
inline WatchedBrand BrandOf(const std::string& spec, std::string name = "") {
    const std::size_t dot = spec.find('.');
    const std::string code = spec.substr(0, dot);
    const auto lettered = BrandCode::Lettered(code);
    const BrandCode c = lettered ? *lettered : BrandCode(static_cast<std::int16_t>(std::stoi(code)));
    return {c, code, name.empty() ? "銘柄" + code : std::move(name), dot == std::string::npos ? "t" : spec.substr(dot + 1)};
}

// The master line of a brand (UTF-8, CR LF), on the market of its suffix.
inline std::string MasterLine(const std::string& spec) {
    const WatchedBrand b = BrandOf(spec);
    std::string market;
    for (const Market& m : kMarkets)
        if (m.suffix == b.marketSuffix) market = m.name;
    return b.codeText + "," + b.brandName + ",100," + market + "\r\n";
}

// The brand master and the watch list (UTF-8, CR LF) of a start-up watching `watched` in this
// order; the master holds `known` too, for brands typed in later.
struct TestFiles { std::string master, watchList; };
inline TestFiles FilesOf(const std::vector<std::string>& watched, const std::vector<std::string>& known = {}) {
    TestFiles files;
    for (const auto& spec : watched) files.watchList += BrandOf(spec).codeText + "\r\n";
    for (const auto* specs : {&watched, &known})
        for (const auto& spec : *specs) files.master += MasterLine(spec);
    return files;
}

// The bytes of a file, empty when it cannot be read. The path is UTF-8: a narrow path would be read
// in the ANSI code page on Windows.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TableBuilder {
public:
    TableBuilder& Brand(const std::string& spec, std::string name = "") {
        (void)table_->Append(BrandOf(spec, std::move(name)));
        return *this;
    }
    // Brands 1301, 1302, … on "t".
    TableBuilder& Brands(int n) {
        for (int k = 0; k < n; ++k) Brand(std::to_string(1301 + k));
        return *this;
    }
    // A price of the last brand, as a pass stores it: the text, and its number when it has one.
    TableBuilder& Price(PriceItem item, const std::string& text) {
        (void)table_->StorePrice(*Last(), item, text);
        return *this;
    }
    // The best ask and bid quantity of the last brand at level 1, its totals and its quote ratio.
    TableBuilder& Quantities(const std::string& ask, const std::string& bid) {
        const EntryHandle last = *Last();
        (void)(table_->StoreLevel(last, QuoteSide::Ask, 0, ask) && table_->StoreLevel(last, QuoteSide::Bid, 0, bid) &&
               table_->TotalLevels(last, QuoteSide::Ask) && table_->TotalLevels(last, QuoteSide::Bid) &&
               table_->RecomputeQuoteRatio(last));
        return *this;
    }
    // The rows in reverse slot order.
    TableBuilder& Reversed() {
        std::vector<std::int16_t> rows;
        for (int k = table_->Count() - 1; k >= 0; --k) rows.push_back(static_cast<std::int16_t>(k));
        (void)table_->SetRowOrder(rows);
        return *this;
    }
    std::unique_ptr<WatchTable> Build() { return std::move(table_); }

private:
    std::optional<EntryHandle> Last() const { return table_->Handle(table_->Count() - 1); }
    std::unique_ptr<WatchTable> table_ = std::make_unique<WatchTable>();
};

}  // namespace norvale::test
