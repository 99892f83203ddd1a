// The one record of mutable data in Ostrivane, and its single static instance.
#ifndef OSTRIVANE_EDITOR_STATE_H
#define OSTRIVANE_EDITOR_STATE_H

#include <cstdint>

struct EditorState {
    // 3x3 homogeneous 2-D transformation, column-major: row r, column c is
    // element c*3 + r. Column 2 is the translation, row 2 the homogeneous row.
    float matrix[9];
    // 4x4 matrix handed to glMultMatrixf, column-major, rebuilt from `matrix`
    // once per frame by syncDrawMatrix.
    float drawMatrix[16];
    // Window size in pixels, as last reported to onReshape.
    float windowWidth;
    float windowHeight;
    // Signed amount added to pulseLevel each frame while an entry is open.
    float pulseStep;
    // Text typed so far for the selected entry, NUL-terminated.
    char entryText[200];
    // Selected entry: column 0..2, row 0..1 (meaningful only while editing).
    std::int32_t selectedColumn;
    std::int32_t selectedRow;
    // 1 while an entry is in progress.
    std::uint8_t editing;
    // Current level of the highlight pulse.
    float pulseLevel;
};

// Longest entry text that is kept; keys that would make it longer are ignored,
// so the text always fits the panel's 100-byte line buffer.
constexpr int maxEntryLength = 99;

extern EditorState editorState;

#endif
