#include "picture_pack_writer.h"

#include "frame/texture_pack.h"

#include <zlib.h>

#include <cstdio>

std::vector<uint8_t> buildTexturePack(const std::vector<PackPicture> &pictures)
{
    constexpr size_t block = texturePackBlockSize;
    std::vector<uint8_t> out(texturePackMagic, texturePackMagic + 6);
    for (const PackPicture &p : pictures) {
        uLongf length = compressBound(static_cast<uLong>(p.rgba.size()));
        std::vector<uint8_t> z(length);
        if (compress2(z.data(), &length, p.rgba.data(), static_cast<uLong>(p.rgba.size()), 9) != Z_OK)
            return {}; // no pack rather than one with a broken picture
        char field[16];
        std::snprintf(field, sizeof field, "%8lld",
                      static_cast<long long>(length) + static_cast<long long>(p.width) * p.height);
        out.insert(out.end(), field, field + 8);
        out.insert(out.end(), z.begin(), z.begin() + length);
    }
    out.resize((out.size() + block - 1) / block * block, 0);
    return out;
}
