// Pictures and progress output shared by the introductory lesson's
// generator files.
#pragma once
#include "picture_canvas.h"
#include "picture_pack_writer.h"

#include <string>
#include <vector>

// A stand-in picture: a tinted card with a frame, naming its pack and index
// (and size), for pictures that are drawn later or never.
Canvas labelledPicture(const std::string &pack, int index, int width, int height, int tintSeed);

// Writes dataDir/images.prod/<name>; prints the error and gives false on failure.
bool writePack(const std::string &dataDir, const std::string &name, const std::vector<PackPicture> &pictures);

// One progress line on standard output: "what: n of m" (rewritten in place
// on a terminal).
void showProgress(const std::string &what, int done, int total);

// The drawn pictures of Images50 (1..15) and Images51 (1..48), in their pack sizes.
Canvas images50Picture(int n);
Canvas images51Picture(int n);
