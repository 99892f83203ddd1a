#include "fixed_function.h"

#include <cmath>
#include <cstddef>

namespace fixedfn {

namespace {

void setIdentity(float m[16]) {
    for (int i = 0; i < 16; ++i) {
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }
}

// a = a * b, column-major.
void multiplyInto(float a[16], const float b[16]) {
    float r[16];
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + row] * b[c * 4 + k];
            }
            r[c * 4 + row] = sum;
        }
    }
    for (int i = 0; i < 16; ++i) {
        a[i] = r[i];
    }
}

void apply(const float m[16], const float in[4], float out[4]) {
    for (int row = 0; row < 4; ++row) {
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
    }
}

}  // namespace

Pipeline::Pipeline() : modelview_(1), projection_(1) {
    setIdentity(modelview_[0].m);
    setIdentity(projection_[0].m);
}

void Pipeline::viewport(int x, int y, int width, int height) {
    if (width < 0 || height < 0) {
        return;
    }
    viewport_[0] = x;
    viewport_[1] = y;
    viewport_[2] = width;
    viewport_[3] = height;
}

Pipeline::Matrix &Pipeline::current() {
    return projectionSelected_ ? projection_.back() : modelview_.back();
}

void Pipeline::matrixMode(unsigned mode) {
    if (mode == modelviewMode || mode == projectionMode) {
        projectionSelected_ = mode == projectionMode;
    }
}

void Pipeline::loadIdentity() {
    if (!inside_) {
        setIdentity(current().m);
    }
}

void Pipeline::multMatrix(const float *m) {
    if (!inside_ && m != nullptr) {
        multiplyInto(current().m, m);
    }
}

void Pipeline::ortho(double left, double right, double bottom, double top, double nearVal, double farVal) {
    if (inside_ || left == right || bottom == top || nearVal == farVal) {
        return;
    }
    const float l = static_cast<float>(left);
    const float r = static_cast<float>(right);
    const float b = static_cast<float>(bottom);
    const float t = static_cast<float>(top);
    const float n = static_cast<float>(nearVal);
    const float f = static_cast<float>(farVal);
    float m[16];
    setIdentity(m);
    m[0] = 2.0f / (r - l);
    m[5] = 2.0f / (t - b);
    m[10] = -2.0f / (f - n);
    m[12] = -(r + l) / (r - l);
    m[13] = -(t + b) / (t - b);
    m[14] = -(f + n) / (f - n);
    multiplyInto(current().m, m);
}

void Pipeline::pushMatrix() {
    // The depths OpenGL guarantees: 32 for the modelview stack, 2 for the
    // projection stack; a push beyond them is an error that changes nothing.
    std::vector<Matrix> &stack = projectionSelected_ ? projection_ : modelview_;
    const std::size_t depth = projectionSelected_ ? 2 : 32;
    if (!inside_ && stack.size() < depth) {
        stack.push_back(stack.back());
    }
}

void Pipeline::popMatrix() {
    std::vector<Matrix> &stack = projectionSelected_ ? projection_ : modelview_;
    if (!inside_ && stack.size() > 1) {
        stack.pop_back();
    }
}

void Pipeline::color(float r, float g, float b) {
    auto clamp = [](float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); };
    colour_[0] = clamp(r);
    colour_[1] = clamp(g);
    colour_[2] = clamp(b);
}

void Pipeline::transform(float x, float y, float out[4]) const {
    const float object[4] = {x, y, 0.0f, 1.0f};
    float eye[4];
    apply(modelview_.back().m, object, eye);
    apply(projection_.back().m, eye, out);
}

void Pipeline::begin(unsigned mode) {
    if (inside_) {
        return;
    }
    switch (mode) {
        case points:
        case lines:
        case lineLoop:
        case lineStrip:
        case triangles:
        case triangleStrip:
        case triangleFan:
        case quads:
        case polygon:
            break;
        default:
            return;
    }
    inside_ = true;
    mode_ = mode;
    pending_.clear();
}

void Pipeline::vertex(float x, float y) {
    if (!inside_) {
        return;
    }
    Pending v{};
    float clip[4];
    transform(x, y, clip);
    v.x = clip[0];
    v.y = clip[1];
    v.z = clip[2];
    v.w = clip[3];
    v.r = colour_[0];
    v.g = colour_[1];
    v.b = colour_[2];
    pending_.push_back(v);
}

void Pipeline::emit(Kind kind, const Pending &v, const float colour[3]) {
    if (runs_.empty() || runs_.back().kind != kind) {
        runs_.push_back(Run{kind, static_cast<int>(vertices_.size()), 0});
    }
    const float *c = flat_ ? colour : &v.r;
    vertices_.push_back(Vertex{v.x, v.y, v.z, v.w, c[0], c[1], c[2]});
    ++runs_.back().count;
}

void Pipeline::end() {
    if (!inside_) {
        return;
    }
    inside_ = false;
    const std::vector<Pending> &p = pending_;
    const std::size_t n = p.size();
    auto segment = [this, &p](std::size_t a, std::size_t b, std::size_t provoking) {
        const float *c = &p[provoking].r;
        emit(Kind::Lines, p[a], c);
        emit(Kind::Lines, p[b], c);
    };
    auto triangle = [this, &p](std::size_t a, std::size_t b, std::size_t c, std::size_t provoking) {
        const float *colour = &p[provoking].r;
        emit(Kind::Triangles, p[a], colour);
        emit(Kind::Triangles, p[b], colour);
        emit(Kind::Triangles, p[c], colour);
    };
    switch (mode_) {
        case points:
            for (std::size_t i = 0; i < n; ++i) {
                emit(Kind::Points, p[i], &p[i].r);
            }
            break;
        case lines:
            for (std::size_t i = 0; i + 1 < n; i += 2) {
                segment(i, i + 1, i + 1);
            }
            break;
        case lineStrip:
        case lineLoop:
            for (std::size_t i = 0; i + 1 < n; ++i) {
                segment(i, i + 1, i + 1);
            }
            // The closing segment of a loop takes the first vertex's colour.
            if (mode_ == lineLoop && n >= 2) {
                segment(n - 1, 0, 0);
            }
            break;
        case triangles:
            for (std::size_t i = 0; i + 2 < n; i += 3) {
                triangle(i, i + 1, i + 2, i + 2);
            }
            break;
        case triangleStrip:
            for (std::size_t i = 0; i + 2 < n; ++i) {
                if (i % 2 == 0) {
                    triangle(i, i + 1, i + 2, i + 2);
                } else {
                    triangle(i + 1, i, i + 2, i + 2);
                }
            }
            break;
        case triangleFan:
            for (std::size_t i = 1; i + 1 < n; ++i) {
                triangle(0, i, i + 1, i + 1);
            }
            break;
        case quads:
            for (std::size_t i = 0; i + 3 < n; i += 4) {
                triangle(i, i + 1, i + 2, i + 3);
                triangle(i, i + 2, i + 3, i + 3);
            }
            break;
        case polygon:
            // A polygon is flat shaded with its first vertex's colour.
            for (std::size_t i = 1; n >= 3 && i + 1 < n; ++i) {
                triangle(0, i, i + 1, 0);
            }
            break;
        default:
            break;
    }
    pending_.clear();
}

void Pipeline::rect(float x1, float y1, float x2, float y2) {
    if (inside_) {
        return;
    }
    begin(polygon);
    vertex(x1, y1);
    vertex(x2, y1);
    vertex(x2, y2);
    vertex(x1, y2);
    end();
}

void Pipeline::rasterPos(float x, float y) {
    if (inside_) {
        return;
    }
    float clip[4];
    transform(x, y, clip);
    rasterColour_[0] = colour_[0];
    rasterColour_[1] = colour_[1];
    rasterColour_[2] = colour_[2];
    const float w = clip[3];
    rasterValid_ = w > 0.0f && clip[0] >= -w && clip[0] <= w && clip[1] >= -w && clip[1] <= w &&
                   clip[2] >= -w && clip[2] <= w;
    if (!rasterValid_) {
        return;
    }
    const float halfWidth = static_cast<float>(viewport_[2]) * 0.5f;
    const float halfHeight = static_cast<float>(viewport_[3]) * 0.5f;
    rasterX_ = clip[0] / w * halfWidth + (halfWidth + static_cast<float>(viewport_[0]));
    rasterY_ = clip[1] / w * halfHeight + (halfHeight + static_cast<float>(viewport_[1]));
}

void Pipeline::bitmap(int width, int height, float xorig, float yorig, float xmove, float ymove,
                      const unsigned char *bits) {
    if (inside_ || !rasterValid_) {
        return;
    }
    const int left = static_cast<int>(std::floor(rasterX_ - xorig));
    const int bottom = static_cast<int>(std::floor(rasterY_ - yorig));
    const int stride = (width + 7) / 8;
    const float vw = static_cast<float>(viewport_[2]);
    const float vh = static_cast<float>(viewport_[3]);
    if (bits != nullptr && vw > 0.0f && vh > 0.0f) {
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                const unsigned char byte = bits[row * stride + column / 8];
                if ((byte & (0x80 >> (column % 8))) == 0) {
                    continue;
                }
                // One point at the centre of the pixel.
                const float px = static_cast<float>(left + column) + 0.5f - static_cast<float>(viewport_[0]);
                const float py = static_cast<float>(bottom + row) + 0.5f - static_cast<float>(viewport_[1]);
                const Pending v{px / vw * 2.0f - 1.0f, py / vh * 2.0f - 1.0f, 0.0f, 1.0f, rasterColour_[0],
                                rasterColour_[1],      rasterColour_[2]};
                emit(Kind::Points, v, rasterColour_);
            }
        }
    }
    rasterX_ += xmove;
    rasterY_ += ymove;
}

void Pipeline::clearDrawn() {
    vertices_.clear();
    runs_.clear();
}

}  // namespace fixedfn
