#include "picture_pack_writer.h"

#include <zlib.h>

#include <cstdio>

std::vector<uint8_t> buildTexturePack(const std::vector<PackPicture> &pictures)
{
    constexpr size_t block = 32768;
    std::vector<uint8_t> out = {'K', 'V', 'D', 'R', 'L', 'M'};
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

bool writeBinaryFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
