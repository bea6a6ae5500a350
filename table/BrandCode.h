// A brand's securities code: a 16-bit number, or four characters with letters as new listings get them (130A).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace norvale {

class BrandCode {
public:
    // Code 0, the code of a blank entry.
    constexpr BrandCode() = default;
    explicit constexpr BrandCode(std::int16_t number) : number_(number) {}

    // The code with letters that text spells, nullopt when it spells none: four characters, digit,
    // digit or letter, digit, digit or letter, at least one letter, every letter one of the 19 the
    // exchange uses (A to Z but B, E, I, O, Q, V, Z), of either case; blanks around it are allowed.
    static std::optional<BrandCode> Lettered(std::string_view text);

    bool IsLettered() const { return letters_[0] != '\0'; }
    // The number of a numeric code; 0 for one with letters.
    std::int16_t Number() const { return number_; }
    // The number in decimal, or the four characters in capitals.
    std::string Text() const;
    // What the DDE topic holds before its ".": the code with letters as it is, or at most the last
    // four digits of the number (13010 is asked for as 3010).
    std::string TopicStem() const;
    // 0 to 84099, one value per code with letters; -1 for a numeric code.
    int LetteredKey() const;

    friend bool operator==(const BrandCode&, const BrandCode&) = default;

private:
    std::int16_t number_ = 0;
    std::array<char, 4> letters_{};  // capitals; all '\0' for a numeric code
};

}  // namespace norvale
