// Writes the Qt glyphs of the table's characters, for the test of the Win32 glyphs under Wine.
// Usage: norvale_qt_glyph_images OUT
#include <QApplication>
#include <cstdio>

#include "frontend/qt/QtGlyphSource.h"
#include "tests/common/GlyphFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: norvale_qt_glyph_images OUT\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    norvale::QtGlyphSource source;
    std::vector<norvale::glyphs::Glyph> glyphs;
    for (const double scale : norvale::glyphs::kScales) {
        for (const char32_t cp : norvale::glyphs::TableCharacters()) glyphs.push_back({cp, scale, source.Render(cp, scale)});
    }
    const bool ok = norvale::glyphs::Write(argv[1], glyphs);
    if (!ok) std::fprintf(stderr, "cannot write %s\n", argv[1]);
    std::printf("font: %s%s\n", qPrintable(source.Font().family()), source.AdvancesExact() ? "" : " (placed on the grid)");
    return ok ? 0 : 1;
}
