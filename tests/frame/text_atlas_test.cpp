// Text from the glyph atlas must colour exactly the pixels GLUT's bitmaps
// colour: every font, every character, whole and fractional positions, a
// translated model view, positions off the window, colours whose alpha the
// alpha test drops or keeps, with and without blending.
#include "common/window_pixels.h"
#include "base/shared.h"
#include "frame/dispatch.h"
#include "frame/text.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct TextCase {
    int32_t font;
    double x, y;
    float alpha;
    bool alphaTest, blend;
    double shiftX = 0, shiftY = 0; // model view translation
};

std::vector<uint8_t> drawCase(const TextCase &c, const std::string &text, bool atlas)
{
    setTextAtlasAllowed(atlas);
    glClearColor(0.9f, 0.9f, 0.9f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (c.alphaTest) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.1f);
    } else {
        glDisable(GL_ALPHA_TEST);
    }
    if (c.blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslated(c.shiftX, c.shiftY, 0);
    glColor4f(0.8f, 0.2f, 0.4f, c.alpha);
    drawControlText(c.font, text, c.x, c.y);
    glColor4f(0.1f, 0.5f, 0.9f, c.alpha);
    drawText(c.font, text, c.x + 3, c.y - 41);
    drawScoreText(c.font, "Deviation +100 -50", c.x, c.y + 37);
    glPopMatrix();
    return readWindowPixels();
}

// Runs in a child process (GLUT is initialised once per process); exits
// with 0 when every case matched, 1 after naming the first that did not.
[[noreturn]] void compareAtlasWithBitmaps()
{
    openTestWindow("text_atlas_test");
    std::string every;
    for (int ch = 32; ch < 256; ++ch) {
        every += static_cast<char>(ch);
        if (ch % 64 == 63) every += '\n'; // an unprintable byte among them
    }
    std::vector<TextCase> cases;
    for (int32_t font = 2; font <= 8; ++font) {
        cases.push_back({font, 20, 400, 1, true, false});
        cases.push_back({font, 20.5, 400.25, 0.4f, true, true});
    }
    for (int32_t font : {2, 5}) {
        cases.push_back({font, 30.99996, 300.99997, 0.4f, true, false});
        cases.push_back({font, 30.3, 299.7, 0.4f, false, true});
        cases.push_back({font, 40, 300, 0.05f, true, true}); // dropped by the alpha test
        cases.push_back({font, 40, 300, 0.05f, false, true});
        cases.push_back({font, 40, 300, 0, false, false});   // alpha 0, no alpha test
        cases.push_back({font, 40, 300, 1, true, false, 20.5, -10.25});
        cases.push_back({font, -3, 300, 1, true, false});    // starts left of the window
        cases.push_back({font, 1000, 750, 1, true, false});  // runs off the right and the top
        cases.push_back({font, 1124, 5, 1, true, false});    // starts on the right edge
    }
    for (int32_t font = 2; font <= 8; ++font)
        if (!textAtlasReady(font)) {
            std::fprintf(stderr, "font %d has no atlas\n", font);
            _exit(2);
        }
    for (size_t i = 0; i < cases.size(); ++i) {
        const std::string text = cases[i].font == 2 || cases[i].font == 3 ? every : every.substr(0, 150);
        const std::vector<uint8_t> bitmaps = drawCase(cases[i], text, false);
        const std::vector<uint8_t> atlas = drawCase(cases[i], text, true);
        size_t inked = 0;
        for (size_t p = 0; p < bitmaps.size(); p += 4) {
            if (bitmaps[p] != 230) ++inked;
            if (bitmaps[p] != atlas[p] || bitmaps[p + 1] != atlas[p + 1] || bitmaps[p + 2] != atlas[p + 2]) {
                const size_t k = p / 4;
                std::fprintf(stderr, "case %zu: pixel (%zu, %zu) bitmaps %d %d %d, atlas %d %d %d\n", i,
                             k % windowWidth, k / windowWidth, bitmaps[p], bitmaps[p + 1], bitmaps[p + 2],
                             atlas[p], atlas[p + 1], atlas[p + 2]);
                _exit(1);
            }
        }
        std::fprintf(stderr, "case %zu: %zu pixels inked\n", i, inked);
    }
    _exit(0);
}

} // namespace

TEST(TextAtlas, DrawsExactlyThePixelsOfTheBitmaps)
{
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (tools/run-tests starts one)";
    EXPECT_EXIT(compareAtlasWithBitmaps(), ::testing::ExitedWithCode(0), "");
}
