/* A stand-in for freeglut's internal header, src/fg_internal.h, that is just
   enough to compile freeglut's own bitmap fonts, src/fg_font_data.c of
   Debian's freeglut source package (web/freeglut_font.cmake), and to read
   the one the page draws. The record is freeglut's: glutBitmapCharacter
   draws character c as a bitmap of Characters[c][0] columns (also its
   advance) and Height rows from Characters[c] + 1, rows from the bottom,
   whole bytes each, with its origin at (xorig, yorig). */
#ifndef OSTRIVANE_FG_INTERNAL_H
#define OSTRIVANE_FG_INTERNAL_H

#include <GL/gl.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct tagSFG_Font {
    char *Name;
    int Quantity;
    int Height;
    const GLubyte **Characters;
    float xorig, yorig;
} SFG_Font;

extern SFG_Font fgFontHelvetica10;

#ifdef __cplusplus
}
#endif

#endif
