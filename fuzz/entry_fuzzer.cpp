// Coverage-guided fuzzing of number entry (libFuzzer). The first byte picks
// the entry to edit; every further byte is a key handed to onKeyboard. Each
// time an entry ends (Enter, Esc, or commitEntry after the last key) the
// stored value must be exactly the number that the longest plain-decimal
// prefix of the typed text denotes, or 0 when there is none, as the
// reference reading of tests/stress/ finds it; then the next entry starts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor_state.h"
#include "entry_input.h"
#include "glut_include.h"
#include "number_grammar.h"

namespace {

// editorState is constant-initialised, so this copy holds the start values.
const EditorState startState = editorState;

std::string printable(const std::string &text) {
    std::string out;
    for (char ch : text) {
        const auto code = static_cast<unsigned char>(ch);
        if (code >= 32 && code < 127 && ch != '\\') {
            out.push_back(ch);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", code);
            out += escape;
        }
    }
    return out;
}

[[noreturn]] void fail(const std::string &typed, const char *what) {
    std::fprintf(stderr, "entry \"%s\": %s\n", printable(typed).c_str(), what);
    std::abort();
}

// Presses the middle of editable entry `cell` (0 to 5) in the 600x600 window.
void startEntry(int cell) {
    const int column = cell % 3;
    const int row = cell / 3;
    const int x = static_cast<int>((31.5 + 7 * column + 50) * 6);
    const int y = static_cast<int>((50 - (44.5 - 7 * row)) * 6);
    onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y);
    if (editorState.editing != 1 || editorState.selectedColumn != column || editorState.selectedRow != row ||
        editorState.entryText[0] != '\0') {
        fail("", "a press on the entry did not start an empty entry on it");
    }
}

void checkCommitted(int cell, const std::string &typed, const float (&before)[9]) {
    const int index = (cell % 3) * 3 + cell / 3;
    const float expected = referenceValue(typed);
    const float stored = editorState.matrix[index];
    if (std::memcmp(&stored, &expected, sizeof stored) != 0) {
        std::fprintf(stderr, "stored %.9g, expected %.9g\n", static_cast<double>(stored),
                     static_cast<double>(expected));
        fail(typed, "stored value differs from the number the text begins with");
    }
    for (int i = 0; i < 9; ++i) {
        if (i != index && std::memcmp(&editorState.matrix[i], &before[i], sizeof(float)) != 0) {
            fail(typed, "an entry other than the edited one changed");
        }
    }
    if (editorState.editing != 0 || editorState.entryText[0] != '\0') {
        fail(typed, "the entry did not end empty");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    editorState = startState;
    if (size == 0) {
        return 0;
    }
    int cell = data[0] % 6;
    startEntry(cell);
    std::string typed;
    float before[9];
    std::memcpy(before, editorState.matrix, sizeof before);

    for (std::size_t i = 1; i < size; ++i) {
        const unsigned char key = data[i];
        onKeyboard(key, 0, 0);
        if (key == 13 || key == 27) {
            checkCommitted(cell, typed, before);
            cell = (cell + 1) % 6;
            startEntry(cell);
            typed.clear();
            std::memcpy(before, editorState.matrix, sizeof before);
            continue;
        }
        if (key == 8) {
            if (!typed.empty()) {
                typed.pop_back();
            }
        } else if (key != 0 && typed.size() < static_cast<std::size_t>(maxEntryLength)) {
            typed.push_back(static_cast<char>(key));
        }
        if (std::memchr(editorState.entryText, '\0', maxEntryLength + 1) == nullptr ||
            typed != editorState.entryText) {
            fail(typed, "the entry text is not the keys typed");
        }
    }
    commitEntry();
    checkCommitted(cell, typed, before);
    return 0;
}
