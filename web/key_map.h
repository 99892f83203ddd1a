// The character a key press gives GLUT's keyboard callback on X, worked out
// from what a browser reports for the same press.
#ifndef OSTRIVANE_KEY_MAP_H
#define OSTRIVANE_KEY_MAP_H

// `key` is the KeyboardEvent's key, UTF-8: the character typed (already
// shifted and laid out by the keyboard layout) or the name of a key such as
// "Enter". Returns the code for the keyboard callback, 0 to 255, or -1 when
// GLUT on X would not call the keyboard callback at all for this press.
int glutKeyFromBrowser(const char *key, bool shift, bool control, bool alt);

#endif
