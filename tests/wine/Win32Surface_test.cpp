// The Win32 table surface against the Qt surface's pixels, and at every scale. (The surface as a
// window, at 144 dpi, is tested in Norvale's window: NorvaleWindow_test.cpp.)
// NORVALE_QT_TABLE_IMAGE names the Qt surface's image of the compared table (run-wine-tests.sh);
// with NORVALE_SURFACE_SHOTS set to a folder, the drawn images are saved there too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/TextCells.h"
#include "platform/win32/Win32Surface.h"
#include "tests/common/ComparedTable.h"

namespace norvale {
namespace {

struct Box {
    int left, top, right, bottom;  // logical, both ends included, a pixel around the cells
};

// The Win32 surface that remembers where text went, and can leave the text out.
class TextBoxes : public Win32Surface {
public:
    explicit TextBoxes(int dpi, bool drawText = true) : Win32Surface(dpi), drawText_(drawText) {}
    void Text(int x, int y, std::string_view utf8, Rgb colour) override {
        int cells = 0;
        for (std::size_t pos = 0; pos < utf8.size();) cells += CellsOfCodePoint(DecodeUtf8At(utf8, pos));
        boxes.push_back({x - 1, y - 1, x + 6 * cells, y + 12});
        if (drawText_) Win32Surface::Text(x, y, utf8, colour);
    }
    // As its two texts, each recorded.
    void ShadowedText(int x, int y, std::string_view utf8, Rgb main, Rgb shadow) override {
        Surface::ShadowedText(x, y, utf8, main, shadow);
    }
    bool InText(int x, int y) const {
        return std::any_of(boxes.begin(), boxes.end(),
                           [&](const Box& b) { return x >= b.left && x <= b.right && y >= b.top && y <= b.bottom; });
    }
    std::vector<Box> boxes;

private:
    bool drawText_;
};

// The compared table drawn at dpi, with or without its text.
std::unique_ptr<TextBoxes> Drawn(int dpi, bool drawText = true) {
    auto s = std::make_unique<TextBoxes>(dpi, drawText);
    s->SetSizeTwips(compared::kWidthTwips, compared::kHeightTwips);
    compared::DrawTableOn(*s);
    return s;
}

void SaveShot(const Win32Surface& s, const char* name) {
    const char* dir = std::getenv("NORVALE_SURFACE_SHOTS");
    if (dir == nullptr) return;
    const DeviceImage image = s.Image();
    EXPECT_TRUE(compared::WritePpm(std::string(dir) + "/" + name, image.width, image.height,
                                   [&](int x, int y) { return image.At(x, y); }));
}

int Luma(std::uint32_t p) { return (299 * int(p >> 16 & 255) + 587 * int(p >> 8 & 255) + 114 * int(p & 255)) / 1000; }

TEST(Win32Surface, DrawsTheQtSurfacesPixels) {
    const char* path = std::getenv("NORVALE_QT_TABLE_IMAGE");
    ASSERT_NE(path, nullptr) << "set NORVALE_QT_TABLE_IMAGE (scripts/test-windows writes it)";
    const compared::PpmImage qt = compared::ReadPpm(path);
    ASSERT_GT(qt.width, 0) << "no image in " << path;

    const auto win = Drawn(96), flat = Drawn(96, false);
    SaveShot(*win, "win32-table-1x.ppm");
    const DeviceImage image = win->Image(), bare = flat->Image();
    ASSERT_EQ(image.width, qt.width);
    ASSERT_EQ(image.height, qt.height);
    EXPECT_TRUE(win->Glyphs().AdvancesExact()) << "the face mapped to ＭＳ ゴシック is missing";

    // Outside the text, and a pixel around it where glyphs may reach, every pixel is the same.
    int differing = 0, outside = 0;
    std::string where;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y) == qt.At(x, y)) continue;
            ++differing;
            if (win->InText(x, y)) continue;
            if (outside++ < 5) where += " (" + std::to_string(x) + ", " + std::to_string(y) + ")";
        }
    }
    EXPECT_EQ(outside, 0) << "differing pixels outside the text, first at" << where;

    // In the text only the rasterisers may differ (Qt hints lightly, GDI here not at all): each
    // text carries about as much ink of each colour channel in both images, about in the same
    // place; a wrong colour, a text a cell off or a missing text breaks this.
    int badInk = 0, badPlace = 0;
    for (const Box& b : win->boxes) {
        double inkW[3] = {}, inkQ[3] = {}, massW = 0, massQ = 0, sumXW = 0, sumXQ = 0;
        for (int y = std::max(b.top, 0); y <= std::min(b.bottom, image.height - 1); ++y) {
            for (int x = std::max(b.left, 0); x <= std::min(b.right, image.width - 1); ++x) {
                const std::uint32_t f = bare.At(x, y), w = image.At(x, y), q = qt.At(x, y);
                for (int c = 0; c < 3; ++c) {
                    inkW[c] += int(f >> (8 * c) & 255) - int(w >> (8 * c) & 255);
                    inkQ[c] += int(f >> (8 * c) & 255) - int(q >> (8 * c) & 255);
                }
                const int mw = std::abs(Luma(f) - Luma(w)), mq = std::abs(Luma(f) - Luma(q));
                massW += mw, massQ += mq, sumXW += mw * x, sumXQ += mq * x;
            }
        }
        for (int c = 0; c < 3; ++c) {
            badInk += std::abs(inkW[c] - inkQ[c]) > 0.4 * std::max(std::abs(inkW[c]), std::abs(inkQ[c])) + 4000;
        }
        if (massW > 1000 && massQ > 1000) badPlace += std::abs(sumXW / massW - sumXQ / massQ) > 2.5;
    }
    std::printf(
        "compared with the Qt surface: %d x %d pixels, %d differ, %d of them outside the %zu texts' "
        "boxes; texts with other ink: %d, elsewhere: %d\n",
        image.width, image.height, differing, outside, win->boxes.size(), badInk, badPlace);
    EXPECT_EQ(badInk, 0);
    EXPECT_EQ(badPlace, 0);
}

// Bands, borders and the bar fall on the same logical pixels at every scale, each logical pixel
// covering whole device pixels; the glyphs are drawn anew at the device's resolution.
TEST(Win32Surface, SameLayoutSharpGlyphsAtEveryScale) {
    const auto flat = Drawn(96, false);
    const DeviceImage one = flat->Image();
    for (const int dpi : {120, 144, 192}) {
        SCOPED_TRACE(dpi);
        const auto drawn = Drawn(dpi, false);
        const DeviceImage scaled = drawn->Image();
        const auto first = [dpi](int v) { return (v * dpi + 48) / 96; };  // the first device pixel of v
        ASSERT_EQ(scaled.width, first(one.width));
        ASSERT_EQ(scaled.height, first(one.height));
        int wrong = 0;
        for (int y = 0; y < one.height; ++y) {
            for (int x = 0; x < one.width; ++x) {
                for (int dy = first(y); dy < first(y + 1); ++dy) {
                    for (int dx = first(x); dx < first(x + 1); ++dx) wrong += scaled.At(dx, dy) != one.At(x, y);
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }

    const auto text2 = Drawn(192);
    SaveShot(*text2, "win32-table-2x.ppm");
    const DeviceImage two = text2->Image();
    // A 1x picture doubled would show every inked 2 x 2 block in one colour.
    int inked = 0, mixed = 0;
    for (int y = 0; y < one.height; ++y) {
        for (int x = 0; x < one.width; ++x) {
            const std::uint32_t a = two.At(2 * x, 2 * y);
            const bool same = a == two.At(2 * x + 1, 2 * y) && a == two.At(2 * x, 2 * y + 1) &&
                              a == two.At(2 * x + 1, 2 * y + 1);
            if (same && a == one.At(x, y)) continue;
            ++inked;
            mixed += !same;
        }
    }
    std::printf("scale 2: %d inked blocks of 2 x 2, %d of them not one colour\n", inked, mixed);
    EXPECT_GT(inked, 10000);
    EXPECT_GT(mixed, inked / 4);
}

}  // namespace
}  // namespace norvale
