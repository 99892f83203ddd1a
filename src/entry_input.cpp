#include "entry_input.h"

#include "glut_include.h"

#include <cstdio>
#include <cstring>

#include "editor_state.h"
#include "matrix_panel.h"

namespace {

// Character codes of the keys that do more than add to the entry.
constexpr unsigned char keyBackspace = 8;
constexpr unsigned char keyEnter = 13;
constexpr unsigned char keyEscape = 27;

bool isBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

bool isDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

}  // namespace

// "%f" alone would also take inf, nan and hexadecimal, which the panel does
// not offer.
std::size_t plainDecimalPrefix(const char *text) {
    std::size_t i = 0;
    while (isBlank(text[i])) {
        ++i;
    }
    if (text[i] == '+' || text[i] == '-') {
        ++i;
    }
    std::size_t digits = 0;
    bool point = false;
    for (;; ++i) {
        if (isDigit(text[i])) {
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (text[i] == 'e' || text[i] == 'E') {
        std::size_t j = i + 1;
        if (text[j] == '+' || text[j] == '-') {
            ++j;
        }
        if (isDigit(text[j])) {
            while (isDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    return i;
}

void onMouse(int button, int state, int x, int y) {
    if (button != GLUT_LEFT_BUTTON || state != GLUT_DOWN) {
        return;
    }
    EditorState &s = editorState;
    if (s.editing != 0) {
        commitEntry();
    }
    s.editing = 0;

    // While the window has no area no press can land in it.
    if (!(s.windowWidth > 0.0f) || !(s.windowHeight > 0.0f)) {
        return;
    }
    const float wx = static_cast<float>(x * 100.0 / s.windowWidth - 50.0);
    const float wy = static_cast<float>(50.0 - y * 100.0 / s.windowHeight);
    if (!(wx > static_cast<float>(panel::left)) || !(wy > static_cast<float>(panel::bottom))) {
        return;
    }
    // Column and row are range-checked before they become integers, so no
    // press position, however far outside the window, converts out of range.
    // Truncation is toward zero: just above the top row, the row value lies
    // between -2/7 and 0 and still gives row 0.
    const double column = (static_cast<double>(wx) - panel::left) / panel::cellPitch;
    const double row = panel::rowCount - (static_cast<double>(wy) - panel::gridBottom) / panel::cellPitch;
    // Only the top two rows are editable.
    if (!(column < panel::columnCount) || !(row > -1.0 && row < panel::rowCount - 1)) {
        return;
    }
    s.selectedColumn = static_cast<std::int32_t>(column);
    s.selectedRow = static_cast<std::int32_t>(row);
    s.entryText[0] = '\0';
    s.editing = 1;
}

void onKeyboard(unsigned char key, int /*x*/, int /*y*/) {
    EditorState &s = editorState;
    if (s.editing == 0) {
        return;
    }
    if (key == keyEnter || key == keyEscape) {
        commitEntry();
        return;
    }
    const std::size_t length = std::strlen(s.entryText);
    if (key == keyBackspace) {
        if (length > 0) {
            s.entryText[length - 1] = '\0';
        }
        return;
    }
    if (key == 0 || length >= static_cast<std::size_t>(maxEntryLength)) {
        return;
    }
    s.entryText[length] = static_cast<char>(key);
    s.entryText[length + 1] = '\0';
}

void commitEntry() {
    EditorState &s = editorState;
    float value = 0.0f;
    const std::size_t length = plainDecimalPrefix(s.entryText);
    if (length > 0) {
        char number[sizeof s.entryText];
        std::memcpy(number, s.entryText, length);
        number[length] = '\0';
        if (std::sscanf(number, "%f", &value) != 1) {
            value = 0.0f;
        }
    }
    // Only the six entries of the top two rows are ever written.
    if (s.selectedColumn >= 0 && s.selectedColumn <= 2 && s.selectedRow >= 0 && s.selectedRow <= 1) {
        s.matrix[s.selectedColumn * 3 + s.selectedRow] = value;
    }
    s.entryText[0] = '\0';
    s.editing = 0;
}
