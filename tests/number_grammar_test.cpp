// The reference reading of entry texts that the stress test and the fuzz
// target check the editor against; it is only worth as much as these checks.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "number_grammar.h"

TEST(ReferenceNumber, ReadsTheExamplesOfTheEditingRules) {
    EXPECT_EQ(referenceValue("2.5abc"), 2.5f);
    EXPECT_EQ(referenceValue("  -1"), -1.0f);
    EXPECT_EQ(referenceValue("1e1"), 10.0f);
    EXPECT_EQ(referenceValue("1e"), 1.0f);
    EXPECT_EQ(referenceValue(".5"), 0.5f);
    EXPECT_EQ(referenceValue("1.e2"), 100.0f);
    for (const char *none : {"", "abc", ".", "-", "+.", " ", "e5", ".e5", "inf", "nan"}) {
        EXPECT_EQ(referenceValue(none), 0.0f) << none;
    }
    EXPECT_EQ(referenceValue("0x10"), 0.0f);
    EXPECT_EQ(referenceDecimalLength("0x10"), 1u);
    EXPECT_EQ(referenceDecimalLength("\t -1.5e+3xyz"), 9u);
    EXPECT_EQ(referenceDecimalLength("1.2.3"), 3u);
    EXPECT_EQ(referenceValue("1e39"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(referenceValue("-1e39"), -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::signbit(referenceValue("-0")));
}

// Rounding the text to double and then to float would give 1 here: the text
// lies just above the midpoint between 1 and the next float, closer than a
// double can tell. Rounded once, it is the next float.
TEST(ReferenceNumber, RoundsTheDecimalTextOnceToSinglePrecision) {
    EXPECT_EQ(referenceValue("1.00000005960464477539062500000001"), std::nextafter(1.0f, 2.0f));
    EXPECT_EQ(referenceValue("1.000000059604644775390625"), 1.0f);  // the midpoint itself, to even
}

namespace {

bool allDigits(const std::string &text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// Whether the whole of `text` is a plain decimal number, judged piece by
// piece: blanks, a sign, a mantissa up to the first e or E, an exponent.
bool isPlainDecimal(const std::string &text) {
    std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string::npos) {
        return false;
    }
    if (text[i] == '+' || text[i] == '-') {
        ++i;
    }
    const std::size_t mark = text.find_first_of("eE", i);
    std::string mantissa = text.substr(i, mark == std::string::npos ? std::string::npos : mark - i);
    const std::size_t point = mantissa.find('.');
    if (point != std::string::npos) {
        mantissa.erase(point, 1);
    }
    if (!allDigits(mantissa)) {
        return false;
    }
    if (mark == std::string::npos) {
        return true;
    }
    std::string exponent = text.substr(mark + 1);
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
        exponent.erase(0, 1);
    }
    return allDigits(exponent);
}

}  // namespace

// The regular expression against a brute-force search over every prefix, on random
// texts made mostly of the characters that matter.
TEST(ReferenceNumber, FindsTheLongestPrefixThatIsANumber) {
    static const char alphabet[] = " \t+-.eE0123456789x";
    std::mt19937 random(12345);
    for (int n = 0; n < 20000; ++n) {
        std::string text;
        const unsigned length = random() % 12;
        for (unsigned i = 0; i < length; ++i) {
            text.push_back(alphabet[random() % (sizeof alphabet - 1)]);
        }
        std::size_t expected = 0;
        for (std::size_t k = 1; k <= text.size(); ++k) {
            if (isPlainDecimal(text.substr(0, k))) {
                expected = k;
            }
        }
        ASSERT_EQ(referenceDecimalLength(text), expected) << '"' << text << '"';
    }
}
