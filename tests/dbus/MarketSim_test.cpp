// The stand-in server's market: tick tables, the written form of values, the trading clock, a day's moves.
#include "tools/quote-server/MarketSim.h"

#include <gtest/gtest.h>

#include <string>

#include "watchlist/NumericText.h"

namespace norvale {
namespace {

constexpr Tenths Yen(double yen) { return static_cast<Tenths>(yen * 10 + (yen >= 0 ? 0.5 : -0.5)); }

double Number(const std::string& text) {
    std::string plain;
    for (char c : text) {
        if (c != ',') plain += c;
    }
    return ParseNumber(plain).value_or(-1);
}

TEST(TickTable, StepsByPriceBandOnBothTables) {
    // Standard table: a band limit belongs to the band below it.
    EXPECT_EQ(TickAtOrBelow(Yen(3000), false), Yen(1));
    EXPECT_EQ(TickAbove(Yen(3000), false), Yen(5));
    EXPECT_EQ(TickAtOrBelow(Yen(3005), false), Yen(5));
    EXPECT_EQ(TickAtOrBelow(Yen(5000), false), Yen(5));
    EXPECT_EQ(TickAbove(Yen(5000), false), Yen(10));
    EXPECT_EQ(TickAtOrBelow(Yen(30000), false), Yen(10));
    EXPECT_EQ(TickAtOrBelow(Yen(30050), false), Yen(50));
    EXPECT_EQ(TickAtOrBelow(Yen(60000000), false), Yen(100000));
    // The fine table of the most traded brands: 0.1 yen up to 1,000 and 0.5 up to 3,000.
    EXPECT_EQ(TickAtOrBelow(Yen(1000), true), Yen(0.1));
    EXPECT_EQ(TickAbove(Yen(1000), true), Yen(0.5));
    EXPECT_EQ(TickAtOrBelow(Yen(3000), true), Yen(0.5));
    EXPECT_EQ(TickAbove(Yen(3000), true), Yen(1));
    EXPECT_EQ(TickAtOrBelow(Yen(10005), true), Yen(5));
}

TEST(QuoteText, WrittenWithThousandsSeparatorsAndTheTicksDecimals) {
    EXPECT_EQ(FormatTenths(Yen(2345), 0), "2,345");
    EXPECT_EQ(FormatTenths(Yen(999), 0), "999");
    EXPECT_EQ(FormatTenths(Yen(1000), 0), "1,000");
    EXPECT_EQ(FormatTenths(Yen(1234567), 0), "1,234,567");
    EXPECT_EQ(FormatTenths(Yen(812.3), 1), "812.3");
    EXPECT_EQ(FormatTenths(Yen(2000), 1), "2,000.0");
    EXPECT_EQ(FormatTenths(Yen(-1234.5), 1), "-1,234.5");
    EXPECT_EQ(FormatWithSeparators(2345.12345, 4), "2,345.1235");
    EXPECT_EQ(FormatWithSeparators(999.5, 4), "999.5000");
    EXPECT_EQ(FormatWithSeparators(123456.0, 0), "123,456");
}

TEST(TradingClock, OneTradePerSessionSecondFromTheOpen) {
    EXPECT_EQ(TradesUntil(8 * 3600 + 59 * 60 + 59.9), 0);
    EXPECT_EQ(TradesUntil(9 * 3600), 1);
    EXPECT_EQ(TradesUntil(9 * 3600 + 10), 11);
    const std::int64_t morning = TradesUntil(11.5 * 3600);
    EXPECT_EQ(morning, 1 + 9000);
    EXPECT_EQ(TradesUntil(12 * 3600), morning) << "no trade over lunch";
    EXPECT_EQ(TradesUntil(12.5 * 3600 + 5), morning + 5);
    EXPECT_EQ(TradesUntil(15.5 * 3600), morning + 10800);
    EXPECT_EQ(TradesUntil(20 * 3600), morning + 10800) << "no trade after the close";
}

TEST(MarketSim, BlanksBeforeTheOpenAndConsistentQuotesAfter) {
    MarketSim market(7);
    market.AddBrand("7203.t", "トヨタ自動車");
    market.AddBrand("9984.oj", "ソフトバンクグループ");
    EXPECT_TRUE(market.Serves("7203.t"));
    EXPECT_FALSE(market.Serves("7203.os"));
    EXPECT_FALSE(market.Serves("6758.t"));
    const double preOpen = 8.5 * 3600;
    EXPECT_EQ(market.Value("6758.t", "現在値", preOpen), std::nullopt);
    EXPECT_EQ(market.Value("7203.t", "現在値値", preOpen), std::nullopt);
    EXPECT_EQ(market.Value("7203.t", "最良売気配数量9", preOpen), std::nullopt);
    for (const char* item : {"始値", "現在値", "高値", "安値", "出来高加重平均", "出来高"})
        EXPECT_EQ(market.Value("7203.t", item, preOpen), " ") << item;
    EXPECT_EQ(market.Value("7203.t", "銘柄名称", preOpen), "トヨタ自動車");
    const std::string prevClose = market.Value("7203.t", "前日終値", preOpen).value();
    EXPECT_GT(Number(prevClose), 0);
    EXPECT_NE(market.Value("7203.t", "最良買気配数量８", preOpen).value(), " ") << "quotes stand before the open";

    for (double now : {9.0 * 3600, 10.0 * 3600, 14.0 * 3600}) {
        for (const char* topic : {"7203.t", "9984.oj"}) {
            auto value = [&](const std::string& item) { return Number(market.Value(topic, item, now).value()); };
            const double last = value("現在値"), high = value("高値"), low = value("安値");
            const double vwap = value("出来高加重平均");
            EXPECT_LE(low, last);
            EXPECT_LE(last, high);
            EXPECT_LE(low, vwap);
            EXPECT_LE(vwap, high);
            EXPECT_LE(low, value("始値"));
            EXPECT_GE(high, value("始値"));
            for (const std::string& item : MarketSim::RefreshItems()) {
                if (item.find("気配数量") == std::string::npos) continue;
                const double qty = value(item);
                EXPECT_GT(qty, 0) << item;
                EXPECT_EQ(static_cast<long long>(qty) % 100, 0) << item;
            }
        }
    }
    EXPECT_EQ(market.Value("7203.t", "前日終値", 15 * 3600), prevClose) << "fixed for the day";
}

TEST(MarketSim, PricesStayOnTheTickGridAndFollowTheSeed) {
    // Without a master every code on the four markets is served.
    MarketSim a(42), b(42), c(43);
    EXPECT_TRUE(a.Serves("1301.t"));
    EXPECT_TRUE(a.Serves("130.q"));
    EXPECT_FALSE(a.Serves("13010.t"));
    EXPECT_FALSE(a.Serves("1301.x"));
    EXPECT_FALSE(a.Serves("1301"));
    EXPECT_FALSE(a.Serves("ab12.t"));

    int fine = 0, differs = 0;
    for (int code = 1000; code < 1200; ++code) {
        const std::string topic = std::to_string(code) + ".t";
        const std::string last = a.Value(topic, "現在値", 13 * 3600).value();
        EXPECT_EQ(b.Value(topic, "現在値", 13 * 3600).value(), last);
        if (c.Value(topic, "現在値", 13 * 3600).value() != last) ++differs;
        const bool decimals = last.find('.') != std::string::npos;
        const Tenths price = Yen(Number(last));
        // Decimals only where the tick is a fraction of a yen; every price a multiple of its tick.
        if (decimals) {
            ++fine;
            EXPECT_LT(TickAtOrBelow(price, true), Yen(1)) << topic << " " << last;
            EXPECT_EQ(price % TickAtOrBelow(price, true), 0) << topic << " " << last;
        } else {
            EXPECT_EQ(price % Yen(1), 0) << topic << " " << last;
            EXPECT_TRUE(price % TickAtOrBelow(price, false) == 0 || price % TickAtOrBelow(price, true) == 0)
                << topic << " " << last;
        }
    }
    EXPECT_GT(fine, 0) << "some brands trade in fractions of a yen";
    EXPECT_GT(differs, 150) << "another seed, another market";
}

TEST(GarbageBytes, CoversTheBrokenKindsOfReply) {
    std::uint64_t rng = 1;
    bool longOne = false, empty = false, withNul = false, nan = false;
    for (int i = 0; i < 500; ++i) {
        const std::string bytes = GarbageBytes(rng);
        longOne |= bytes.size() > 512;
        empty |= bytes.empty();
        withNul |= bytes.find('\0') != std::string::npos;
        nan |= bytes == "NaN";
    }
    EXPECT_TRUE(longOne && empty && withNul && nan);
}

}  // namespace
}  // namespace norvale
