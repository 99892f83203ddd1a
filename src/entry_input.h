// Cell selection with the mouse and number entry from the keyboard.
#ifndef OSTRIVANE_ENTRY_INPUT_H
#define OSTRIVANE_ENTRY_INPUT_H

#include <cstddef>

// GLUT mouse callback: a left press selects an editable entry (committing any
// entry in progress first).
void onMouse(int button, int state, int x, int y);

// GLUT keyboard callback: edits the entry in progress; Enter and Esc commit.
void onKeyboard(unsigned char key, int x, int y);

// Reads the entry text as a number, stores it in the selected entry and ends
// the entry. Called only while an entry is in progress.
void commitEntry();

// Length of the longest prefix of `text` that is a plain decimal number, the
// part of an entry that is stored: leading blanks, an optional sign, digits
// with at most one decimal point (at least one digit), then optionally e or
// E, an optional sign and digits. 0 when the text does not start with such a
// number.
std::size_t plainDecimalPrefix(const char *text);

#endif
