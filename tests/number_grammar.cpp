#include "number_grammar.h"

#include <cstddef>
#include <cstdlib>
#include <regex>

namespace {

// Length of the longest prefix of `text` that reads as a plain decimal
// number; 0 when there is none.
std::size_t referenceDecimalLength(const std::string &text) {
    static const std::regex prefix(R"(^[ \t\n\v\f\r]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?)");
    std::smatch match;
    return std::regex_search(text, match, prefix, std::regex_constants::match_continuous)
               ? static_cast<std::size_t>(match.length(0))
               : 0;
}

}  // namespace

float referenceValue(const std::string &text) {
    const std::size_t length = referenceDecimalLength(text);
    return length == 0 ? 0.0f : std::strtof(text.substr(0, length).c_str(), nullptr);
}

bool isPlainNumber(const std::string &text) {
    return !text.empty() && referenceDecimalLength(text) == text.size() &&
           text.find_first_of(" \t\n\v\f\r") != 0;
}
