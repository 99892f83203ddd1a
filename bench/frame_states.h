// The editor states of the benchmark's idle and editing frames.
#ifndef OSTRIVANE_BENCH_FRAME_STATES_H
#define OSTRIVANE_BENCH_FRAME_STATES_H

#include <cstring>

#include "editor_state.h"

// Nothing selected, no entry in progress.
inline void enterIdleState() {
    editorState.editing = 0;
    editorState.entryText[0] = '\0';
}

// "-0.5" being typed into the top-middle cell: its pulsing box and the red
// text of the entry are drawn.
inline void enterEditingState() {
    editorState.selectedColumn = 1;
    editorState.selectedRow = 0;
    std::strcpy(editorState.entryText, "-0.5");
    editorState.editing = 1;
}

#endif
