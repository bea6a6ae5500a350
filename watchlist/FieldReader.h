// The comma-delimited field input that the brand master file is written for.
#pragma once

#include <cstddef>
#include <string_view>

namespace norvale {

// Reads fields one after another from a text. A field ends at a comma or at a line end
// (CR LF, a lone CR or a lone LF), so an empty line reads as one empty field. Blanks before
// a field are skipped; blanks after an unquoted field stay part of it, and so does a double
// quote inside it. A field that starts with a double quote runs to the next double quote,
// commas included; a quoted field never spans lines, and whatever stands between its
// closing quote and the next delimiter is dropped. The text must outlive the reader.
class FieldReader {
public:
    explicit FieldReader(std::string_view text)
        : begin_(text.data()), p_(text.data()), end_(text.data() + text.size()) {}

    // True when every byte has been read.
    bool AtEnd() const { return p_ == end_; }
    // Bytes read so far: a reader made on the text from there reads the same fields on.
    std::size_t Offset() const { return static_cast<std::size_t>(p_ - begin_); }
    // The next field, a view into the text; empty once the end has been reached.
    std::string_view Next();

private:
    const char* begin_;
    const char* p_;
    const char* end_;
};

}  // namespace norvale
