// A texture made from RGBA pixels for the pixel tests: generated, bound,
// filtered linearly and filled.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdint>
#include <vector>

// `rgba` holds width x height pixels, top row first. With `mipmaps` the
// texture gets its mipmap levels (GLU) and filters between them when
// minified. `wrap` applies in both directions. Leaves the texture bound.
inline GLuint textureFromRgba(const std::vector<uint8_t> &rgba, int width, int height, GLint wrap, bool mipmaps)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (mipmaps) gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    else glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return name;
}
