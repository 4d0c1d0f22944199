// Images51, the diagram pictures of the lesson menu and the introductory
// lesson's pages (48 square pictures) in exactly the sizes they are read: the
// first the lesson menu's background, the others labelled stand-ins until the
// pages that show them are drawn.
#include "intro_art.h"
#include "make_data.h"
#include "overview_background.h"

#include "intro/intro_pictures.h"

bool makeImages51(const std::string &dataDir)
{
    std::vector<PackPicture> pictures;
    for (int p = 1; p <= images51PictureCount; ++p) {
        const int side = images51Sides[p - 1];
        // The first is the lesson menu's background; the others are labelled stand-ins.
        const Canvas c = p == 1 ? overviewBackground() : labelledPicture("IMAGES51", p, side, side, 510 + p);
        pictures.push_back({c.width, c.height, c.rgba()});
    }
    return writePack(dataDir, "Images51", pictures);
}
