// Recording fake of the drawing surface: every call as an operation, in order.
#pragma once

#include <string>
#include <string_view>
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
    void SetPersistent(bool on) override { ops.push_back({SurfaceOp::Persistent, on ? 1 : 0, 0, 0, 0, {}, {}}); }
    void FillRect(int x1, int y1, int x2, int y2, Rgb c) override { ops.push_back({SurfaceOp::Fill, x1, y1, x2, y2, c, {}}); }
    void OutlineRect(int x1, int y1, int x2, int y2, Rgb c) override {
        ops.push_back({SurfaceOp::Outline, x1, y1, x2, y2, c, {}});
    }
    void Line(int x1, int y1, int x2, int y2, Rgb c) override { ops.push_back({SurfaceOp::Line, x1, y1, x2, y2, c, {}}); }
    void Text(int x, int y, std::string_view t, Rgb c) override {
        ops.push_back({SurfaceOp::Text, x, y, 0, 0, c, std::string(t)});
    }
    void Clear() override { ops.push_back({SurfaceOp::Clear, 0, 0, 0, 0, {}, {}}); }

    int Count(SurfaceOp::Kind kind) const {
        int n = 0;
        for (const auto& op : ops) n += op.kind == kind ? 1 : 0;
        return n;
    }

    int width = 809;
    double height = 529;
    std::vector<SurfaceOp> ops;
};

}  // namespace norvale
