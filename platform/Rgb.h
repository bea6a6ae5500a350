// A colour as red, green and blue components from 0 to 255.
#pragma once

#include <cstdint>

namespace norvale {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

}  // namespace norvale
