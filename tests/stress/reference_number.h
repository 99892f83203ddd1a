// A second, independent reading of entry texts, used to check what the
// editor stores: the longest plain-decimal prefix is found with a
// table-driven automaton (longest accepted match), and its value is rounded
// straight from the decimal text to single precision by strtof.
#ifndef OSTRIVANE_REFERENCE_NUMBER_H
#define OSTRIVANE_REFERENCE_NUMBER_H

#include <cstddef>
#include <string>

// Length of the longest prefix of `text` that reads as a plain decimal
// number: blanks, an optional sign, digits with at most one point (at least
// one digit), then optionally an exponent. 0 when there is none.
std::size_t referenceDecimalLength(const std::string &text);

// The value an entry of `text` should store: the prefix's number, or 0 when
// the text has no such prefix. NaN (which no stored value equals) if strtof
// would read a different amount of text than the prefix.
float referenceValue(const std::string &text);

#endif
