#include "watchlist/FieldReader.h"

namespace norvale {

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsDelimiter(char c) { return c == ',' || IsLineEnd(c); }

}  // namespace

std::string_view FieldReader::Next() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    if (pos_ >= text_.size()) return {};

    if (text_[pos_] == '"') {
        const std::size_t start = ++pos_;
        while (pos_ < text_.size() && text_[pos_] != '"' && !IsLineEnd(text_[pos_])) ++pos_;
        const std::string_view value = text_.substr(start, pos_ - start);
        while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) ++pos_;
        SkipDelimiter();
        return value;
    }

    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) ++pos_;
    const std::string_view value = text_.substr(start, pos_ - start);
    SkipDelimiter();
    return value;
}

void FieldReader::SkipDelimiter() {
    if (pos_ >= text_.size()) return;
    const char c = text_[pos_++];
    if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
}

}  // namespace norvale
