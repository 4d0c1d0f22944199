// Images51, the diagram pictures of the lesson menu and the introductory
// lesson's pages (48 square pictures), as labelled stand-ins in exactly the
// sizes they are read, until the pages that show them are drawn.
#include "intro_art.h"
#include "make_data.h"

#include "intro/intro_pictures.h"

bool makeImages51(const std::string &dataDir)
{
    std::vector<PackPicture> pictures;
    for (int p = 1; p <= images51PictureCount; ++p) {
        const int side = images51Sides[p - 1];
        const Canvas c = labelledPicture("IMAGES51", p, side, side, 510 + p);
        pictures.push_back({c.width, c.height, c.rgba()});
    }
    return writePack(dataDir, "Images51", pictures);
}
