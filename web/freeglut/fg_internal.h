/* Just enough of freeglut's internal header, src/fg_internal.h, to compile
   freeglut's own bitmap fonts (web/freeglut_font.cmake) and for gl.cpp's
   drawHelvetica10 to read the one the page draws. */
#ifndef OSTRIVANE_FG_INTERNAL_H
#define OSTRIVANE_FG_INTERNAL_H

#include <GL/gl.h>

typedef struct tagSFG_Font {
    char *Name;
    int Quantity;
    int Height;
    const GLubyte **Characters;
    float xorig, yorig;
} SFG_Font;

extern SFG_Font fgFontHelvetica10;

#endif
