// Bitmap text: GLUT's glyphs, drawn from a texture atlas of them.
#include "frame/text.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/freeglut.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "frame/controls.h"
#include "frame/gl_draw.h"
#include "platform/fonts.h"

bool textHiddenByPopup(double x, double y)
{
    if (!popupOpen || popupItemCount < 1 || popupItemCount > maxPopupItems)
        return false;
    const ControlRecord &anchor = popupAnchor;
    const ControlRecord &last = popupEntries[popupItemCount - 1];
    return anchor.left - 2 < x && x < anchor.right + 2 && last.bottom - 2 < y &&
           y < anchor.bottom - 2;
}

// GLUT's advance widths of Times Roman 24 for the characters 32..126.
static constexpr uint8_t timesRoman24Widths[95] = {
    6,  8,  10, 13, 12, 19, 18, 8,  8,  8,  12, 14, 7,  14, 6,  7,  12, 12, 12, 12, 12, 12, 12, 12,
    12, 12, 6,  7,  13, 14, 13, 11, 22, 17, 16, 16, 17, 15, 14, 18, 19, 8,  11, 17, 14, 22, 18, 18,
    15, 18, 16, 13, 16, 18, 17, 23, 18, 16, 15, 8,  7,  8,  11, 13, 7,  11, 12, 11, 12, 11, 7,  12,
    13, 6,  6,  12, 6,  20, 13, 12, 12, 12, 8,  10, 7,  13, 11, 17, 13, 11, 10, 10, 6,  10, 13};

TextBox textBox(int32_t font, std::string_view text, double x, double y)
{
    const size_t n = text.size() < size_t(maxTextLength) ? text.size() : size_t(maxTextLength);
    double width = 0;
    const bool times = font == fontTimesRoman24;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        width += !times ? 9 : (c >= 32 && c <= 126 ? timesRoman24Widths[c - 32] : 22);
    }
    return times ? TextBox{x, y - 5, x + width, y + 17} : TextBox{x, y - 3, x + width, y + 11};
}

static TextObserver textObserver = nullptr;

void setTextObserver(TextObserver observer) { textObserver = observer; }

// ---- The glyph atlas
//
// GLUT draws a character as a glBitmap: one fragment in the raster colour
// for every set bit, the bitmap's corner at floor(raster position + 0.0001 -
// origin), and the raster position moved on by the advance. A software
// renderer pays dearly for every glBitmap, so each font's 255 characters are
// drawn once, by GLUT itself, into a texture (white where a bit is set,
// transparent elsewhere); a text is then one textured quad per character at
// the same whole pixels, sampled GL_NEAREST at texel centres and modulated
// by the current colour, the empty texels discarded by the alpha test. The
// pixels are those of the bitmaps. Where the renderer cannot draw into a
// texture, or a text's state could make the two differ, GLUT's own bitmaps
// draw the text as before.

namespace {

constexpr int glyphPad = 12;      // free texels round a character's origin in its cell
constexpr int atlasWidth = 1024;
constexpr int maxFontId = 8;      // GLUT fonts 2..8 (platform/fonts.h)

struct Glyph {
    int16_t left = 0, bottom = 0, right = 0, top = 0; // inked box, pixels from the origin
    float u0 = 0, v0 = 0, u1 = 0, v1 = 0;              // its texels' outer edges
    bool inked = false;
};

struct FontAtlas {
    bool tried = false;
    GLuint texture = 0; // 0: no atlas, the font is drawn with bitmaps
    Glyph glyphs[256];
    float advance[256] = {};
};

FontAtlas atlases[maxFontId + 1];
bool atlasAllowed = true;

bool canDrawIntoTextures()
{
    const char *version = reinterpret_cast<const char *>(glGetString(GL_VERSION));
    const char *extensions = reinterpret_cast<const char *>(glGetString(GL_EXTENSIONS));
    if (version && version[0] >= '3' && version[0] <= '9' && version[1] == '.') return true;
    return extensions && std::strstr(extensions, "GL_ARB_framebuffer_object");
}

// Draws the font's characters 1..255 with GLUT into a texture, one cell
// each, and finds every character's inked box. Leaves the GL state as it
// found it.
void buildAtlas(int32_t font, FontAtlas &a)
{
    a.tried = true;
    if (!canDrawIntoTextures()) return;
    void *handle = glutBitmapFont(font);
    int maxWidth = 1;
    for (int c = 1; c < 256; ++c) {
        const int w = glutBitmapWidth(handle, c);
        a.advance[c] = static_cast<float>(w);
        maxWidth = std::max(maxWidth, w);
    }
    const int height = std::max(1, glutBitmapHeight(handle));
    const int cellW = maxWidth + 2 * glyphPad, cellH = height + 2 * glyphPad;
    const int columns = atlasWidth / cellW;
    if (columns < 1) return;
    const int rows = (255 + columns - 1) / columns;
    int atlasHeight = 1;
    while (atlasHeight < rows * cellH) atlasHeight *= 2;

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    GLint drawFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &drawFramebuffer);
    GLuint texture = 0, framebuffer = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, atlasWidth, atlasHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    bool ok = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    std::vector<uint8_t> pixels;
    if (ok) {
        glViewport(0, 0, atlasWidth, atlasHeight);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DITHER);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        for (int c = 1; c < 256; ++c) {
            const int cell = c - 1;
            glWindowPos2i(cell % columns * cellW + glyphPad, cell / columns * cellH + glyphPad);
            glutBitmapCharacter(handle, c);
        }
        pixels.resize(static_cast<size_t>(atlasWidth) * atlasHeight * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, atlasWidth, atlasHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    }
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(drawFramebuffer));
    glDeleteFramebuffers(1, &framebuffer);
    glPopClientAttrib();
    glPopAttrib();

    // Every character's inked box; ink on a cell's edge would mean a glyph
    // larger than its cell, which the atlas cannot hold: bitmaps then.
    for (int c = 1; ok && c < 256; ++c) {
        const int cell = c - 1;
        const int x0 = cell % columns * cellW, y0 = cell / columns * cellH;
        int left = cellW, bottom = cellH, right = -1, top = -1;
        for (int y = 0; y < cellH; ++y)
            for (int x = 0; x < cellW; ++x) {
                const uint8_t *p = &pixels[(static_cast<size_t>(y0 + y) * atlasWidth + x0 + x) * 4];
                if (p[3] == 0 && p[0] == 0) continue;
                if (p[0] != 255 || p[1] != 255 || p[2] != 255 || p[3] != 255) ok = false;
                if (x == 0 || y == 0 || x == cellW - 1 || y == cellH - 1) ok = false;
                left = std::min(left, x);
                right = std::max(right, x);
                bottom = std::min(bottom, y);
                top = std::max(top, y);
            }
        Glyph &g = a.glyphs[c];
        if (right < 0) continue; // a character with no ink (the space)
        g.inked = true;
        g.left = static_cast<int16_t>(left - glyphPad);
        g.right = static_cast<int16_t>(right + 1 - glyphPad);
        g.bottom = static_cast<int16_t>(bottom - glyphPad);
        g.top = static_cast<int16_t>(top + 1 - glyphPad);
        g.u0 = static_cast<float>(x0 + left) / atlasWidth;
        g.u1 = static_cast<float>(x0 + right + 1) / atlasWidth;
        g.v0 = static_cast<float>(y0 + bottom) / atlasHeight;
        g.v1 = static_cast<float>(y0 + top + 1) / atlasHeight;
    }
    if (ok) a.texture = texture;
    else glDeleteTextures(1, &texture);
}

FontAtlas *atlasFor(int32_t font)
{
    if (!atlasAllowed || font < 0 || font > maxFontId) return nullptr;
    // Only the making needs a context: asking for one costs a system call
    // (the GL library's fork check), and without one every GL call of a
    // text drawn from a made atlas does nothing, as the bitmaps would.
    FontAtlas &a = atlases[font];
    if (!a.tried) {
        if (!haveGlContext()) return nullptr;
        buildAtlas(font, a);
    }
    return a.texture != 0 ? &a : nullptr;
}

// Draws the text's characters from the atlas where the bitmaps would have
// drawn them, the raster position already set; false (nothing drawn) when
// the state asks for the bitmaps.
bool atlasText(FontAtlas &a, std::string_view text, double x, double y, double z)
{
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    if (!valid) return true; // the bitmaps draw nothing either
    GLfloat raster[4], colour[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    glGetFloatv(GL_CURRENT_RASTER_COLOR, colour);
    // The alpha test (alpha above a limit of 0 or more) drops the empty
    // texels as the bitmaps never made them; without it one of alpha above
    // 0 does, unless the colour's own alpha is 0.
    const bool alphaTest = glIsEnabled(GL_ALPHA_TEST);
    GLint func = GL_ALWAYS;
    GLfloat ref = 0;
    if (alphaTest) {
        glGetIntegerv(GL_ALPHA_TEST_FUNC, &func);
        glGetFloatv(GL_ALPHA_TEST_REF, &ref);
        if (func != GL_GREATER || ref < 0) return false;
    } else if (!(colour[3] > 0)) {
        return false;
    }
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, a.texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    if (!alphaTest) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0);
    }
    // Window pixels to the text's own coordinates (the model view only ever
    // translates).
    const double dx = x - raster[0], dy = y - raster[1];
    const GLfloat epsilon = 0.0001F;
    GLfloat pen = raster[0];
    const GLfloat baseY = std::floor(raster[1] + epsilon);
    glBegin(GL_QUADS);
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == 0) continue; // GLUT draws nothing for it and does not advance
        const Glyph &g = a.glyphs[c];
        if (g.inked) {
            const double left = std::floor(pen + epsilon) + dx;
            const double bottom = baseY + dy;
            glTexCoord2f(g.u0, g.v0);
            glVertex3d(left + g.left, bottom + g.bottom, z);
            glTexCoord2f(g.u1, g.v0);
            glVertex3d(left + g.right, bottom + g.bottom, z);
            glTexCoord2f(g.u1, g.v1);
            glVertex3d(left + g.right, bottom + g.top, z);
            glTexCoord2f(g.u0, g.v1);
            glVertex3d(left + g.left, bottom + g.top, z);
        }
        pen += a.advance[c];
    }
    glEnd();
    if (!alphaTest) glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return true;
}

} // namespace

void setTextAtlasAllowed(bool allowed) { atlasAllowed = allowed; }

bool textAtlasReady(int32_t font) { return atlasFor(font) != nullptr; }

static void rasterText(int32_t font, std::string_view text, double x, double y, double z)
{
    if (textObserver != nullptr) textObserver(font, text, x, y);
    const size_t n = text.size() < size_t(maxTextLength) ? text.size() : size_t(maxTextLength);
    text = text.substr(0, n);
    FontAtlas *atlas = atlasFor(font);
    glDisable(GL_TEXTURE_2D);
    glRasterPos3d(x, y, z);
    if (atlas && atlasText(*atlas, text, x, y, z)) return;
    void *handle = glutBitmapFont(font);
    for (const char c : text) glutBitmapCharacter(handle, static_cast<unsigned char>(c));
}

void drawText(int32_t font, std::string_view text, double x, double y)
{
    if (!textHiddenByPopup(x, y))
        rasterText(font, text, x, y, -5);
}

void drawScoreText(int32_t font, std::string_view text, double x, double y)
{
    if (!textHiddenByPopup(x, y))
        rasterText(font, text, x, y, -11);
}

void drawLargeText(int32_t, std::string_view text, double x, double y)
{
    if (!textHiddenByPopup(x, y))
        rasterText(fontTimesRoman24, text, x, y, -5);
}

void drawControlText(int32_t font, std::string_view text, double x, double y)
{
    rasterText(font, text, x, y, -2);
}

void drawUnderscoreRow(int32_t font, int32_t count, double x, double y)
{
    if (count <= 0)
        return;
    static const std::string underscores(size_t(maxTextLength), '_');
    rasterText(font, std::string_view(underscores).substr(0, size_t(count)), x, y, -5);
}
