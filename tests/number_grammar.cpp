#include "number_grammar.h"

#include <cstdlib>
#include <regex>

namespace {

const std::regex &plainDecimalPrefix() {
    static const std::regex prefix(R"(^[ \t\n\v\f\r]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?)");
    return prefix;
}

}  // namespace

std::size_t referenceDecimalLength(const std::string &text) {
    std::smatch match;
    if (!std::regex_search(text, match, plainDecimalPrefix(), std::regex_constants::match_continuous)) {
        return 0;
    }
    return static_cast<std::size_t>(match.length(0));
}

float referenceValue(const std::string &text) {
    const std::size_t length = referenceDecimalLength(text);
    return length == 0 ? 0.0f : std::strtof(text.substr(0, length).c_str(), nullptr);
}

bool isPlainNumber(const std::string &text) {
    return !text.empty() && referenceDecimalLength(text) == text.size() &&
           text.find_first_of(" \t\n\v\f\r") != 0;
}
