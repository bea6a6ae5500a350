// What every fuzz target shares: its input as text, and the check that stops the run when a property fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace norvale::fuzz {

inline std::string Text(const std::uint8_t* data, std::size_t n) { return {reinterpret_cast<const char*>(data), n}; }
inline void Check(bool holds) { holds ? void() : __builtin_trap(); }

}  // namespace norvale::fuzz
