#include "editor_state.h"

// Starts with the values given beside the fields.
EditorState editorState;
