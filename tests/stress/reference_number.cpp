#include "reference_number.h"

#include <cstdlib>
#include <limits>

namespace {

enum CharClass { blankChar, signChar, digitChar, pointChar, exponentChar, otherChar, classCount };

enum State {
    leading,         // blanks so far
    afterSign,       // a sign, nothing else yet
    whole,           // digits before any point (accepting)
    barePoint,       // a point with no digit before it
    fraction,        // digits and a point (accepting)
    exponentMark,    // e or E after a number
    exponentSign,    // sign after the e
    exponentDigits,  // digits after the e (accepting)
    stateCount,
    dead = -1,
};

CharClass classify(char ch) {
    switch (ch) {
        case ' ':
        case '\t':
        case '\n':
        case '\v':
        case '\f':
        case '\r':
            return blankChar;
        case '+':
        case '-':
            return signChar;
        case '.':
            return pointChar;
        case 'e':
        case 'E':
            return exponentChar;
        default:
            return (ch >= '0' && ch <= '9') ? digitChar : otherChar;
    }
}

// transitions[state][character class]
constexpr int transitions[stateCount][classCount] = {
    // blank, sign, digit, point, exponent, other
    {leading, afterSign, whole, barePoint, dead, dead},      // leading
    {dead, dead, whole, barePoint, dead, dead},              // afterSign
    {dead, dead, whole, fraction, exponentMark, dead},       // whole
    {dead, dead, fraction, dead, dead, dead},                // barePoint
    {dead, dead, fraction, dead, exponentMark, dead},        // fraction
    {dead, exponentSign, exponentDigits, dead, dead, dead},  // exponentMark
    {dead, dead, exponentDigits, dead, dead, dead},          // exponentSign
    {dead, dead, exponentDigits, dead, dead, dead},          // exponentDigits
};

bool accepting(int state) {
    return state == whole || state == fraction || state == exponentDigits;
}

}  // namespace

std::size_t referenceDecimalLength(const std::string &text) {
    std::size_t longest = 0;
    int state = leading;
    for (std::size_t i = 0; i < text.size(); ++i) {
        state = transitions[state][classify(text[i])];
        if (state == dead) {
            break;
        }
        if (accepting(state)) {
            longest = i + 1;
        }
    }
    return longest;
}

float referenceValue(const std::string &text) {
    const std::size_t length = referenceDecimalLength(text);
    if (length == 0) {
        return 0.0f;
    }
    const std::string number = text.substr(0, length);
    char *end = nullptr;
    const float value = std::strtof(number.c_str(), &end);
    if (end != number.c_str() + number.size()) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    return value;
}
