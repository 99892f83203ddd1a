#include "editor_model.h"

#include <cstring>
#include <sstream>

#include "glut_include.h"
#include "matrix_panel.h"
#include "number_grammar.h"

namespace {

constexpr std::size_t longestEntry = 99;

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A text with every byte outside printable ASCII written as \xNN.
std::string escaped(const char *text, std::size_t length) {
    std::ostringstream out;
    out << '"';
    for (std::size_t i = 0; i < length; ++i) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (ch >= 32 && ch < 127 && ch != '\\' && ch != '"') {
            out << text[i];
        } else {
            static const char hex[] = "0123456789abcdef";
            out << "\\x" << hex[ch >> 4] << hex[ch & 15];
        }
    }
    out << '"';
    return out.str();
}

}  // namespace

EditorModel::EditorModel() : matrix_{1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f} {}

void EditorModel::reshape(int width, int height) {
    width_ = static_cast<float>(width);
    height_ = static_cast<float>(height);
}

// The editable cells in world units, from the panel's left edge, bottom and
// pitch: three columns a pitch wide from the left edge; row 0 above the line
// between the two editable rows, up to two pitches above it (a press just
// above the window still lands in it), row 1 up to a pitch below that line.
bool EditorModel::cellAt(int x, int y, int &column, int &row) const {
    if (!(width_ > 0.0f && height_ > 0.0f)) {
        return false;
    }
    const float wx = static_cast<float>(x * 100.0 / width_ - 50.0);
    const float wy = static_cast<float>(50.0 - y * 100.0 / height_);
    constexpr float left = panel::left;
    constexpr float pitch = panel::cellPitch;
    constexpr float rowLine = panel::gridBottom + 2 * panel::cellPitch;
    if (!(wx > left && wx < left + 3 * pitch && wy > rowLine - pitch && wy < rowLine + 2 * pitch)) {
        return false;
    }
    column = wx < left + pitch ? 0 : (wx < left + 2 * pitch ? 1 : 2);
    row = wy > rowLine ? 0 : 1;
    return true;
}

void EditorModel::mouse(int button, int state, int x, int y) {
    if (button != GLUT_LEFT_BUTTON || state != GLUT_DOWN) {
        return;
    }
    if (editing_) {
        commit();
    }
    int column = 0;
    int row = 0;
    if (cellAt(x, y, column, row)) {
        editing_ = true;
        column_ = column;
        row_ = row;
        text_.clear();
        ++entriesStarted_;
    }
}

void EditorModel::key(unsigned char key) {
    if (!editing_) {
        return;
    }
    switch (key) {
        case 13:
        case 27:
            commit();
            break;
        case 8:
            if (!text_.empty()) {
                text_.pop_back();
            }
            break;
        case 0:
            break;
        default:
            if (text_.size() < longestEntry) {
                text_.push_back(static_cast<char>(key));
                if (static_cast<int>(text_.size()) > longestText_) {
                    longestText_ = static_cast<int>(text_.size());
                }
            }
    }
}

void EditorModel::commit() {
    matrix_[column_ * 3 + row_] = referenceValue(text_);
    text_.clear();
    editing_ = false;
    ++commits_;
}

std::string EditorModel::differences(const EditorState &actual) const {
    std::ostringstream out;
    if ((actual.editing != 0) != editing_ || actual.editing > 1) {
        out << "editing is " << int{actual.editing} << ", expected " << editing_ << "; ";
    }
    if (editing_ && (actual.selectedColumn != column_ || actual.selectedRow != row_)) {
        out << "selected column " << actual.selectedColumn << " row " << actual.selectedRow << ", expected "
            << column_ << " " << row_ << "; ";
    }
    const void *end = std::memchr(actual.entryText, '\0', sizeof actual.entryText);
    if (end == nullptr) {
        out << "entry text has no terminating NUL; ";
    } else if (text_ != actual.entryText) {
        out << "entry text is " << escaped(actual.entryText, std::strlen(actual.entryText)) << ", expected "
            << escaped(text_.data(), text_.size()) << "; ";
    }
    for (int i = 0; i < 9; ++i) {
        if (!sameBits(actual.matrix[i], matrix_[i])) {
            out << "matrix[" << i << "] is " << actual.matrix[i] << ", expected " << matrix_[i] << "; ";
        }
    }
    if (!sameBits(actual.windowWidth, width_) || !sameBits(actual.windowHeight, height_)) {
        out << "window size " << actual.windowWidth << "x" << actual.windowHeight << ", expected " << width_
            << "x" << height_ << "; ";
    }
    return out.str();
}
