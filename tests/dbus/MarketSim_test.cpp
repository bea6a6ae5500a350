// The stand-in server's market: blanks before the open, consistent quotes on the tick grid after.
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

}  // namespace
}  // namespace norvale
