// A drawing surface that paints nothing, for runs where only the work of drawing counts.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/Surface.h"

namespace norvale {

class NullSurface : public Surface {
public:
    int Width() const override { return 809; }
    double Height() const override { return 529; }
    void SetPersistent(bool) override {}
    void FillRect(int, int, int, int, Rgb) override {}
    void OutlineRect(int, int, int, int, Rgb) override {}
    void Line(int, int, int, int, Rgb) override {}
    // Counts what it is given, so that making the texts is not optimised away.
    void Text(int, int, std::string_view text, Rgb) override { textBytes += text.size(); }
    void Clear() override {}

    std::size_t textBytes = 0;
};

}  // namespace norvale
