// Writes the compared table as the Qt surface draws it, for the Win32 surface's test under Wine.
// Usage: norvale_qt_table_image OUT.ppm
#include <QApplication>
#include <cstdio>

#include "platform/qt/QtSurface.h"
#include "tests/common/ComparedTable.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: norvale_qt_table_image OUT.ppm\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    norvale::QtSurface surface(nullptr);
    surface.SetSizeTwips(norvale::compared::kWidthTwips, norvale::compared::kHeightTwips);
    norvale::compared::DrawTableOn(surface);
    const QImage& image = surface.Image();
    const bool ok = norvale::compared::WritePpm(argv[1], image.width(), image.height(), [&](int x, int y) {
        return static_cast<std::uint32_t>(image.pixel(x, y)) & 0x00FFFFFFu;
    });
    if (!ok) std::fprintf(stderr, "cannot write %s\n", argv[1]);
    std::printf("font: %s%s\n", qPrintable(surface.TableFont().family()),
                surface.TableFontAdvancesExact() ? "" : " (placed on the grid)");
    return ok ? 0 : 1;
}
