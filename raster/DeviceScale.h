// How layout pixels map onto the device pixels of a screen at a given scale.
#pragma once

#include <cmath>

namespace norvale {

// Layout pixel v covers device pixels Device(v) to Device(v + 1) - 1, so edges stay whole device
// pixels at fractional scales.
class DeviceScale {
public:
    // A device pixel ratio, as the window system reports it.
    static constexpr DeviceScale Ratio(double ratio) { return DeviceScale(ratio > 0 ? ratio : 1, 0); }
    // Dots per inch, 96 being scale 1: mapped in whole numbers, exact at any dpi.
    static constexpr DeviceScale Dpi(int dpi) { return DeviceScale(0, dpi > 0 ? dpi : 1); }

    double Factor() const { return dpi_ != 0 ? dpi_ / double(kLogicalDpi) : ratio_; }
    int Device(int v) const {
        if (dpi_ != 0) {
            const long long t = static_cast<long long>(v) * dpi_ + kLogicalDpi / 2;
            return static_cast<int>(t >= 0 ? t / kLogicalDpi : -((-t + kLogicalDpi - 1) / kLogicalDpi));
        }
        return ratio_ == 1 ? v : static_cast<int>(std::floor(v * ratio_ + 0.5));
    }
    // The layout pixel whose device pixels hold device pixel d.
    int Layout(int d) const {
        int v = static_cast<int>(std::floor(d / Factor()));
        while (Device(v + 1) <= d) ++v;
        while (Device(v) > d) --v;
        return v;
    }
    friend constexpr bool operator==(const DeviceScale&, const DeviceScale&) = default;

private:
    static constexpr int kLogicalDpi = 96;
    constexpr DeviceScale(double ratio, int dpi) : ratio_(ratio), dpi_(dpi) {}

    double ratio_;
    int dpi_;
};

}  // namespace norvale
