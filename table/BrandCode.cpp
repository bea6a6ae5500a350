#include "table/BrandCode.h"

namespace norvale {

namespace {

constexpr std::string_view kLetters = "ACDFGHJKLMNPRSTUWXY";  // A to Z but B, E, I, O, Q, V, Z
constexpr int kPlaceValues = 10 + static_cast<int>(kLetters.size());  // of the second and fourth place

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Capital(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// 0 to 9 for a digit, 10 on for a letter in use, -1 for anything else.
int PlaceValue(char c) {
    if (IsDigit(c)) return c - '0';
    const std::size_t letter = kLetters.find(c);
    return letter == std::string_view::npos ? -1 : 10 + static_cast<int>(letter);
}

}  // namespace

std::optional<BrandCode> BrandCode::Lettered(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.size() != 4 || !IsDigit(text[0]) || !IsDigit(text[2])) return std::nullopt;
    BrandCode code;
    for (std::size_t i = 0; i < 4; ++i) code.letters_[i] = Capital(text[i]);
    const int second = PlaceValue(code.letters_[1]);
    const int fourth = PlaceValue(code.letters_[3]);
    if (second < 0 || fourth < 0 || (second < 10 && fourth < 10)) return std::nullopt;
    return code;
}

std::string BrandCode::Text() const {
    return IsLettered() ? std::string(letters_.data(), letters_.size()) : std::to_string(number_);
}

std::string BrandCode::TopicStem() const {
    const std::string text = Text();
    return text.size() > 4 ? text.substr(text.size() - 4) : text;
}

int BrandCode::LetteredKey() const {
    if (!IsLettered()) return -1;
    return ((PlaceValue(letters_[0]) * kPlaceValues + PlaceValue(letters_[1])) * 10 + PlaceValue(letters_[2])) *
               kPlaceValues +
           PlaceValue(letters_[3]);
}

}  // namespace norvale
