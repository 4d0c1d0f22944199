// Writes texture packs: "KVDRLM", then per picture an 8-byte size field
// (blanks and digits of L + W*H) and L bytes of zlib data of its RGBA
// pixels, the whole padded with zeros to a multiple of 32,768 bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PackPicture {
    int width;
    int height;
    std::vector<uint8_t> rgba; // width * height * 4 bytes, top row first
};

// Empty when a picture cannot be compressed.
std::vector<uint8_t> buildTexturePack(const std::vector<PackPicture> &pictures);
// The pictures of pack 6, 7, 8 or 9 as the catalogue lists them.
std::vector<PackPicture> cataloguePackPictures(int32_t pack);
