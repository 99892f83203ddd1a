// The built site in headless Chromium: its first frame against the desktop
// window's at two sizes, and the sentence that stands in for the canvas in a
// browser without WebGL. Skipped when the site has not been built
// (bash tools/web.sh --build) or Chromium is missing.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

const std::string siteIndex = std::string(OSTRIVANE_WEB_SITE) + "/index.html";
const std::string chromium = OSTRIVANE_CHROMIUM;

bool fileExists(const std::string &path) {
    return std::ifstream(path).good();
}

std::string temporaryPath(const char *suffix) {
    static int counter = 0;
    const char *dir = std::getenv("TMPDIR");
    std::ostringstream path;
    path << (dir != nullptr ? dir : "/tmp") << "/ostrivane-page-test-"
         << ::testing::UnitTest::GetInstance()->random_seed() << "-" << ++counter << suffix;
    return path.str();
}

// Runs headless Chromium on the page with a fresh profile for `budget`
// milliseconds of the page's (virtual) time; Chromium's own output goes to
// `output` when given, else nowhere.
int runChromium(const std::string &flags, const std::string &output = "", int budget = 2000) {
    const std::string profile = temporaryPath("-profile");
    std::string command = "'" + chromium + "' --headless --no-sandbox --no-first-run --hide-scrollbars " +
                          "--disable-background-networking --disable-component-update --disable-sync " +
                          "--user-data-dir='" + profile +
                          "' --virtual-time-budget=" + std::to_string(budget) + " " + flags + " 'file://" +
                          siteIndex + "' 2>/dev/null";
    command += output.empty() ? " >/dev/null" : " >'" + output + "'";
    const int status = std::system(command.c_str());
    std::system(("rm -rf '" + profile + "'").c_str());
    return status;
}

const std::string softwareWebGl = "--use-gl=angle --use-angle=swiftshader --enable-unsafe-swiftshader";

// A PNG file as a Frame (rows from the bottom, as OpenGL reads them).
bool readPng(const std::string &path, std::vector<unsigned char> &rgb, int &width, int &height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    rgb.assign(PNG_IMAGE_SIZE(image), 0);
    // A negative stride stores the bottom row first.
    const int stride = -static_cast<int>(PNG_IMAGE_ROW_STRIDE(image));
    return png_image_finish_read(&image, nullptr, rgb.data(), stride, nullptr) != 0;
}

std::string readFile(const std::string &path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class Page : public RenderTest {
protected:
    void SetUp() override {
        if (!fileExists(siteIndex)) {
            GTEST_SKIP() << "no site at " << siteIndex << "; build it with: bash tools/web.sh --build";
        }
        if (chromium.empty()) {
            GTEST_SKIP() << "Chromium was not found; install it with: sudo apt-get install chromium";
        }
        RenderTest::SetUp();
    }

    // The page's first frame at the given window size against the desktop
    // window's start frame at the same size: the text must be the same
    // pixels; lines drawn by another renderer may end a pixel apart.
    void compareStartFrame(int width, int height) {
        std::vector<unsigned char> pixels;
        int w = 0;
        int h = 0;
        // Chromium takes the screenshot once its virtual time is up, which
        // does not wait for the WebAssembly to compile: on a busy machine
        // the page may not have drawn yet (all black). Then try again,
        // allowing more time.
        for (const int budget : {2000, 6000, 15000}) {
            const std::string shot = temporaryPath(".png");
            std::ostringstream flags;
            flags << softwareWebGl << " --window-size=" << width << "," << height << " --screenshot='" << shot
                  << "'";
            ASSERT_EQ(runChromium(flags.str(), "", budget), 0);
            const bool read = readPng(shot, pixels, w, h);
            std::remove(shot.c_str());
            ASSERT_TRUE(read) << "no screenshot from Chromium";
            bool drawn = false;
            for (const unsigned char channel : pixels) {
                drawn = drawn || channel != 0;
            }
            if (drawn) {
                break;
            }
        }
        ASSERT_EQ(w, width);
        ASSERT_EQ(h, height);
        const Frame page(w, h, std::move(pixels));

        GlWindow::useSize(width, height);
        const Frame desktop = GlWindow::drawFrame();

        const Rgb panelGreen = toRgb(0.0f, 1.0f, 0.0f);
        const Rgb panelCyan = toRgb(0.0f, 1.0f, 1.0f);
        const Rgb instructions = toRgb(1.0f, 0.5f, 1.0f);
        // The matrix's nine numbers and the instruction line, pixel for pixel.
        for (const Rgb colour : {panelGreen, panelCyan}) {
            const int column = desktop.columnOf(29.0f);
            const int row = desktop.rowOf(47.0f);
            const int w2 = width - column;
            const int h2 = desktop.rowOf(26.0f) - row;
            EXPECT_EQ(page.maskOf(column, row, w2, h2, colour), desktop.maskOf(column, row, w2, h2, colour))
                << width << "x" << height;
        }
        const int top = desktop.rowOf(-45.0f);
        EXPECT_EQ(page.maskOf(0, top, width, height - top, instructions),
                  desktop.maskOf(0, top, width, height - top, instructions))
            << width << "x" << height;
        EXPECT_GT(desktop.maskOf(0, top, width, height - top, instructions).size(), 500u);

        // Everything else, within a few pixels.
        int differing = 0;
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                differing += sameColour(page.at(column, row), desktop.at(column, row)) ? 0 : 1;
            }
        }
        EXPECT_LE(differing, 30) << width << "x" << height;
    }
};

TEST_F(Page, FirstFrameAsTheDesktopWindowsAt600x600) {
    compareStartFrame(600, 600);
}

TEST_F(Page, FirstFrameSqueezedAsTheDesktopWindowsAt300x600) {
    compareStartFrame(300, 600);
}

TEST_F(Page, WithoutWebGlASentenceStandsInForTheCanvas) {
    const std::string dom = temporaryPath(".html");
    ASSERT_EQ(runChromium("--disable-3d-apis --dump-dom", dom), 0);
    const std::string text = readFile(dom);
    std::remove(dom.c_str());
    EXPECT_NE(text.find("<title>Ostrivane</title>"), std::string::npos) << text;
    EXPECT_NE(text.find("id=\"no-webgl\""), std::string::npos) << text;
    EXPECT_NE(text.find("WebGL"), std::string::npos) << text;
    EXPECT_EQ(text.find("<canvas"), std::string::npos) << text;
}

}  // namespace
