// What the editor should do with each event, written down a second time from
// the editing rules alone: the editable cells as regions of world
// coordinates, the table of the two editing states, and numbers read by the
// reference reading. The stress test runs it beside the real callbacks and
// compares the two after every event.
#ifndef OSTRIVANE_EDITOR_MODEL_H
#define OSTRIVANE_EDITOR_MODEL_H

#include <string>

#include "editor_state.h"

class EditorModel {
public:
    // The state at start: identity matrix, no entry, a 600x600 window.
    EditorModel();

    void reshape(int width, int height);
    void mouse(int button, int state, int x, int y);
    void key(unsigned char key);

    // How `actual` differs from the model (the editing flag, the selection
    // while editing, the entry text, the matrix and the window size), in
    // words; empty when they agree.
    std::string differences(const EditorState &actual) const;

    bool editing() const { return editing_; }
    const float *matrix() const { return matrix_; }
    float width() const { return width_; }
    float height() const { return height_; }
    int entriesStarted() const { return entriesStarted_; }
    int commits() const { return commits_; }
    int longestText() const { return longestText_; }

private:
    // The editable cell under a pixel, if any.
    bool cellAt(int x, int y, int &column, int &row) const;
    void commit();

    float matrix_[9];
    float width_ = 600.0f;
    float height_ = 600.0f;
    bool editing_ = false;
    int column_ = 0;
    int row_ = 0;
    std::string text_;
    int entriesStarted_ = 0;
    int commits_ = 0;
    int longestText_ = 0;
};

#endif
