// The table raster with glyphs of the test's own making: fills, lines and borders on whole device
// pixels at every scale, and every text exactly where, and in the colours, it was asked for.
#include "raster/TableRaster.h"

#include <gtest/gtest.h>

#include "platform/TextCells.h"
#include "tests/common/ComparedTable.h"
#include "tests/fakes/FakePlatform.h"

namespace norvale {
namespace {

constexpr Pixel kWhitePx = 0xFFFFFFFFu, kBlackPx = 0xFF000000u, kRedPx = 0xFFFF0000u, kBluePx = 0xFF0000FFu;
constexpr Rgb kRed{255, 0, 0};

// Each character a pattern of full and partial coverage made from its code point, inside its cells
// and rows; with `reach`, a comma reaches down onto the band's outline and a minus up onto the one
// above, as real glyphs do.
struct PatternGlyphs : GlyphSource {
    explicit PatternGlyphs(bool blank = false, bool reach = false) : blank(blank), reach(reach) {}
    GlyphImage Render(char32_t cp, double scale) override {
        GlyphImage g;
        if (blank || cp == U' ') return g;
        g.top = reach && cp == U'-' ? -2 : 1;
        g.width = static_cast<int>((6 * CellsOfCodePoint(cp) - 3) * scale);
        g.height = static_cast<int>(9 * scale) + (reach && cp == U',' ? 4 : 0) + (g.top < 0 ? 3 : 0);
        const std::uint32_t bits = static_cast<std::uint32_t>(cp) * 2654435761u;
        for (int k = 0; k < g.width * g.height; ++k) {
            const std::uint32_t v = bits >> ((k % g.width + 5 * (k / g.width)) % 29) & 3;
            g.cover.push_back(v == 0 ? 0 : v == 1 ? 100 : 255);  // 100: a coverage the blend rounds exactly
        }
        return g;
    }
    bool blank, reach;
};

struct Raster {
    PatternGlyphs glyphs;
    TableRaster raster{glyphs};
    Raster(DeviceScale scale, int width, double height, PatternGlyphs pattern = PatternGlyphs()) : glyphs(pattern) {
        raster.Rescale(scale, 1, 1);
        raster.Resize(width, height, scale.Device(width), scale.Device(static_cast<int>(height)));
    }
    Pixel At(int x, int y) const { return raster.Pixels()[y * raster.DeviceWidth() + x]; }
    std::vector<Pixel> Image() const {
        return {raster.Pixels(), raster.Pixels() + raster.DeviceWidth() * raster.DeviceHeight()};
    }
};

Pixel BlendExactly(Pixel d, Rgb c, std::uint32_t a) {
    auto channel = [&](int shift, std::uint32_t to) { return ((d >> shift & 255) * (255 - a) + to * a + 127) / 255 << shift; };
    return 0xFF000000u | channel(16, c.r) | channel(8, c.g) | channel(0, c.b);
}

// The image without text, with each text's glyphs blended in over it in the order drawn (a cell's
// shadow, one layout pixel to the right, comes first).
std::vector<Pixel> WithTexts(const Raster& bare, DeviceScale scale, const std::vector<SurfaceOp>& ops) {
    std::vector<Pixel> image = bare.Image();
    const int w = bare.raster.DeviceWidth(), h = bare.raster.DeviceHeight();
    PatternGlyphs glyphs;
    for (const SurfaceOp& t : ops) {
        if (t.kind != SurfaceOp::Text) continue;
        int cellX = t.x1;
        for (std::size_t pos = 0; pos < t.text.size();) {
            const char32_t cp = DecodeUtf8At(t.text, pos);
            const GlyphImage g = glyphs.Render(cp, scale.Factor());
            for (int k = 0; k < g.width * g.height; ++k) {
                const int px = scale.Device(cellX) + g.left + k % g.width, py = scale.Device(t.y1) + g.top + k / g.width;
                if (g.cover[k] != 0 && px >= 0 && px < w && py >= 0 && py < h)
                    image[py * w + px] = BlendExactly(image[py * w + px], t.colour, g.cover[k]);
            }
            cellX += 6 * CellsOfCodePoint(cp);
        }
    }
    return image;
}

// Fills, lines and cells are pinned by the table drawn below; here, what lies partly off the image.
TEST(TableRaster, DrawsWhatLiesPartlyOffTheImageWithoutACrash) {
    Raster p(DeviceScale::Ratio(1.25), 200, 100.4);
    p.raster.FillRect(-5, -1, 2, 1, kRed);
    p.raster.Line(-10, 50, 500, 50, kRed);
    p.raster.ShadowedText(196, 95, "12", {0, 0, 0}, {0, 0, 0});
    p.raster.Text(100, 72, std::string_view("\xE9\x8A", 2), {0, 0, 0});  // cut-off UTF-8
    const int lineY = DeviceScale::Ratio(1.25).Device(50);
    EXPECT_EQ(std::pair(p.At(0, 0), p.At(p.raster.DeviceWidth() - 1, lineY)), std::pair(kRedPx, kRedPx));
}

// The compared table at each scale: without text, every layout pixel covers whole device pixels of
// the colour it has at scale 1; with text, each glyph lies exactly at its cell, on its row, over its
// shadow, in its colours. A text a device pixel off, a wrong character or colour fails.
TEST(TableRaster, DrawsTheTableOnTheLayoutAndEveryTextWhereAndAsAsked) {
    constexpr int kWidth = 1000;
    constexpr double kHeight = 336;
    Raster one(DeviceScale::Ratio(1), kWidth, kHeight, PatternGlyphs(true));
    compared::DrawTableOn(one.raster);
    // The header green to the right edge with its borders, the line under it, the yellow row under the
    // click, the black one waiting for its removal, a white one, and row 2's bar: blue to 918, then red.
    std::vector<Pixel> sampled;
    for (const auto& [x, y] : {std::pair{30, 5}, {32, 5}, {999, 5}, {30, 11}, {30, 53}, {30, 89}, {30, 29}, {888, 29},
                               {889, 29}, {918, 29}, {919, 29}, {967, 29}, {968, 29}, {969, 29}})
        sampled.push_back(one.At(x, y));
    constexpr Pixel kGreenPx = 0xFFC8FFC8u, kYellowPx = 0xFFFFFF00u;
    EXPECT_EQ(sampled, (std::vector<Pixel>{kGreenPx, kBlackPx, kGreenPx, kBlackPx, kYellowPx, kBlackPx, kWhitePx, kBlackPx,
                                           kBluePx, kBluePx, kRedPx, kRedPx, kBlackPx, kWhitePx}));

    for (const DeviceScale scale : {DeviceScale::Ratio(1), DeviceScale::Ratio(1.5), DeviceScale::Ratio(1.25),
                                    DeviceScale::Dpi(192)}) {
        SCOPED_TRACE(scale.Factor());
        Raster bare(scale, kWidth, kHeight, PatternGlyphs(true)), drawn(scale, kWidth, kHeight);
        compared::DrawTableOn(bare.raster);
        compared::DrawTableOn(drawn.raster);
        FakeSurface texts;  // what the drawing asks for, each cell's two texts apart
        texts.width = kWidth;
        texts.height = kHeight;
        compared::DrawTableOn(texts);
        int wrong = 0;
        for (int y = 0; y < static_cast<int>(kHeight); ++y)
            for (int x = 0; x < kWidth; ++x)
                for (int dy = scale.Device(y); dy < scale.Device(y + 1); ++dy)
                    for (int dx = scale.Device(x); dx < scale.Device(x + 1); ++dx) wrong += bare.At(dx, dy) != one.At(x, y);
        EXPECT_EQ(wrong, 0) << "device pixels unlike their layout pixel";
        const std::vector<Pixel> expected = WithTexts(bare, scale, texts.ops), image = drawn.Image();
        ASSERT_EQ(image.size(), expected.size());
        const auto first = std::mismatch(image.begin(), image.end(), expected.begin()).first - image.begin();
        EXPECT_EQ(first, std::ssize(image)) << "first difference at (" << first % drawn.raster.DeviceWidth() << ", "
                                            << first / drawn.raster.DeviceWidth() << ")";
    }
}

// On a plain band a cell's shadow and glyphs come from ready stamps, elsewhere they are blended run
// by run: glyphs over bands, bars, the band's outlines and the image's edge give the same pixels.
TEST(TableRaster, GlyphsFromReadyStampsEqualGlyphsBlendedOneByOne) {
    for (const DeviceScale scale : {DeviceScale::Ratio(1), DeviceScale::Ratio(1.25), DeviceScale::Dpi(192)}) {
        SCOPED_TRACE(scale.Factor());
        Raster stamped(scale, 400, 60, PatternGlyphs(false, true)), blended(scale, 400, 60, PatternGlyphs(false, true));
        for (TableRaster* s : {&stamped.raster, &blended.raster}) {
            const Rgb bands[] = {{200, 255, 200}, {255, 255, 255}, {255, 255, 0}, {0, 0, 0}};
            for (int r = 0; r < 4; ++r) {
                s->FillRect(-1, 12 * r - 1, 400, 12 * r + 11, bands[r]);
                if (r > 0) s->OutlineRect(-1, 12 * r - 1, 400, 12 * r + 11, {0, 0, 0});
                s->FillRect(300, 12 * r, 319, 12 * r + 10, kRed);
                s->FillRect(300, 12 * r, 309, 12 * r + 10, {0, 0, 255});
                if (s == &blended.raster) {  // an image made anew keeps its pixels, not what it knew of them
                    s->Resize(400, 60, scale.Device(401), scale.Device(60));
                    s->Resize(400, 60, scale.Device(400), scale.Device(60));
                }
                const auto cell = [&](int x, std::string_view text, Rgb main, Rgb shadow) {
                    if (s == &stamped.raster) s->ShadowedText(x, 12 * r, text, main, shadow);
                    if (s == &blended.raster) s->Surface::ShadowedText(x, 12 * r, text, main, shadow);
                };
                cell(1, "1,234,567", kRed, {255, 255, 255});
                cell(81, "極東重工業", {0, 0, 0}, {255, 255, 255});
                cell(193, "   -12.50", {0, 0, 255}, {255, 255, 255});
                cell(193, "↓", {0, 0, 255}, {0, 0, 255});  // the arrow over the blanks of a drawn price
                cell(283, "   75.00", {255, 255, 255}, {255, 255, 255});  // over both parts of the bar
                cell(395, "Ｎ,", {0, 0, 0}, {255, 255, 255});  // cut at the right edge
            }
        }
        EXPECT_TRUE(stamped.Image() == blended.Image());
    }
}

}  // namespace
}  // namespace norvale
