#include "ranking/NumberFormat.h"

namespace norvale {

std::string SignPlace(long value) {
    return value >= 0 ? " " + std::to_string(value) : std::to_string(value);
}

}  // namespace norvale
