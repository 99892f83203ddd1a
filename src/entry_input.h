// Cell selection with the mouse and number entry from the keyboard.
#ifndef OSTRIVANE_ENTRY_INPUT_H
#define OSTRIVANE_ENTRY_INPUT_H

// GLUT mouse callback: a left press selects an editable entry (committing any
// entry in progress first).
void onMouse(int button, int state, int x, int y);

// GLUT keyboard callback: edits the entry in progress; Enter and Esc commit.
void onKeyboard(unsigned char key, int x, int y);

// Reads the entry text as a number, stores it in the selected entry and ends
// the entry. Called only while an entry is in progress.
void commitEntry();

#endif
