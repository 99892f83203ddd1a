// The plain decimal numbers the editor reads from an entry, written once
// for every check that needs them: the stress test's model of the editing
// rules, the fuzz target and the lesson sheet's check. A second reading,
// independent of the program's own: one regular expression, and strtof to
// round the decimal text straight to single precision.
#ifndef OSTRIVANE_NUMBER_GRAMMAR_H
#define OSTRIVANE_NUMBER_GRAMMAR_H

#include <string>

// The value an entry of `text` should store: the number of its longest
// prefix that reads as a plain decimal number (blanks, an optional sign,
// digits with at most one point, at least one digit, then optionally an
// exponent), or 0 when the text has no such prefix.
float referenceValue(const std::string &text);

// Whether the whole text is such a number, with no blanks before it.
bool isPlainNumber(const std::string &text);

#endif
