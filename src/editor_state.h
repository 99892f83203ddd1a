// The one record of mutable data in Ostrivane, and its single static instance.
#ifndef OSTRIVANE_EDITOR_STATE_H
#define OSTRIVANE_EDITOR_STATE_H

#include <cstdint>

struct EditorState {
    // 3x3 homogeneous 2-D transformation, column-major: row r, column c is
    // element c*3 + r. Column 2 is the translation, row 2 the homogeneous row.
    // Starts as the identity.
    float matrix[9] = {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    // 4x4 matrix handed to glMultMatrixf, column-major, rebuilt from `matrix`
    // once per frame by syncDrawMatrix. Only element 15 starts non-zero.
    float drawMatrix[16] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                            0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    // Window size in pixels, as last reported to onReshape.
    float windowWidth = 600.0f;
    float windowHeight = 600.0f;
    // Signed amount added to pulseLevel each frame while an entry is open.
    float pulseStep = 0.01f;
    // Text typed so far for the selected entry, NUL-terminated.
    char entryText[200] = "";
    // Selected entry: column 0..2, row 0..1 (meaningful only while editing).
    std::int32_t selectedColumn = 0;
    std::int32_t selectedRow = 0;
    // 1 while an entry is in progress.
    std::uint8_t editing = 0;
    // Current level of the highlight pulse.
    float pulseLevel = 0.0f;
};

// Longest entry text that is kept; keys that would make it longer are ignored,
// so the text always fits the panel's 100-byte line buffer.
constexpr int maxEntryLength = 99;

extern EditorState editorState;

#endif
