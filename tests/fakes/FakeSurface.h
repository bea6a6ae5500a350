// Recording fake of the drawing surface: every call as an operation, in order.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Surface.h"

namespace norvale {

struct SurfaceOp {
    enum Kind { Fill, Outline, Line, Text, Clear, Persistent };
    Kind kind = Fill;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Rgb colour;
    std::string text;
    friend bool operator==(const SurfaceOp&, const SurfaceOp&) = default;
};

class FakeSurface : public Surface {
public:
    int Width() const override { return width; }
    double Height() const override { return height; }
    void SetPersistent(bool on) override { Add(SurfaceOp::Persistent, on ? 1 : 0); }
    void FillRect(int x1, int y1, int x2, int y2, Rgb c) override { Add(SurfaceOp::Fill, x1, y1, x2, y2, c); }
    void OutlineRect(int x1, int y1, int x2, int y2, Rgb c) override { Add(SurfaceOp::Outline, x1, y1, x2, y2, c); }
    void Line(int x1, int y1, int x2, int y2, Rgb c) override { Add(SurfaceOp::Line, x1, y1, x2, y2, c); }
    void Text(int x, int y, std::string_view t, Rgb c) override { Add(SurfaceOp::Text, x, y, 0, 0, c, std::string(t)); }
    void Clear() override { Add(SurfaceOp::Clear); }
    int Count(SurfaceOp::Kind kind) const {
        return static_cast<int>(std::ranges::count(ops, kind, &SurfaceOp::kind));
    }

    int width = 809;
    double height = 529;
    std::vector<SurfaceOp> ops;

private:
    void Add(SurfaceOp::Kind k, int x1 = 0, int y1 = 0, int x2 = 0, int y2 = 0, Rgb c = {}, std::string t = {}) {
        ops.push_back({k, x1, y1, x2, y2, c, std::move(t)});
    }
};

}  // namespace norvale
