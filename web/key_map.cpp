#include "key_map.h"

#include <cstring>

namespace {

// Decodes `text` if it is exactly one UTF-8 encoded code point, else -1.
long singleCodePoint(const char *text) {
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    if (s[0] == 0) {
        return -1;
    }
    int length = 1;
    long code = s[0];
    if (s[0] >= 0xF0 && s[0] < 0xF8) {
        length = 4;
        code = s[0] & 0x07;
    } else if (s[0] >= 0xE0) {
        length = 3;
        code = s[0] & 0x0F;
    } else if (s[0] >= 0xC0) {
        length = 2;
        code = s[0] & 0x1F;
    } else if (s[0] >= 0x80) {
        return -1;
    }
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) {
            return -1;
        }
        code = (code << 6) | (s[i] & 0x3F);
    }
    return s[length] == 0 ? code : -1;
}

// What Xlib's XLookupString makes of a character typed with Control held.
int withControl(int c) {
    if (c >= '@' && c <= '~') {
        return c & 0x1F;
    }
    if (c == ' ' || c == '2') {
        return 0;
    }
    if (c >= '3' && c <= '7') {
        return c - '3' + 27;
    }
    if (c == '8') {
        return 127;
    }
    if (c == '/') {
        return 31;
    }
    return c;
}

}  // namespace

int glutKeyFromBrowser(const char *key, bool shift, bool control, bool alt) {
    if (key == nullptr) {
        return -1;
    }
    // Keys that type a control character; Shift+Tab is X's ISO_Left_Tab,
    // which types nothing.
    if (std::strcmp(key, "Backspace") == 0) {
        return 8;
    }
    if (std::strcmp(key, "Tab") == 0) {
        return shift ? -1 : 9;
    }
    if (std::strcmp(key, "Enter") == 0) {
        return 13;
    }
    if (std::strcmp(key, "Escape") == 0) {
        return 27;
    }
    if (std::strcmp(key, "Delete") == 0) {
        return 127;
    }
    // Every other named key ("ArrowLeft", "Shift", "Dead", ...) types
    // nothing; neither do characters outside Latin-1, which X cannot hand
    // to GLUT as one byte.
    const long code = singleCodePoint(key);
    if (code < 32 || code > 255 || code == 127) {
        return -1;
    }
    // Browsers on Windows report AltGr as Control and Alt together; the
    // character is then already the one AltGr types.
    if (control && !alt) {
        return withControl(static_cast<int>(code));
    }
    return static_cast<int>(code);
}
