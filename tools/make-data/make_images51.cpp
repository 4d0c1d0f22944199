// Images51, the diagram pictures of the lesson menu and the introductory
// lesson's pages (48 square pictures): the first the lesson menu's background
// (overview_background.cpp), the others drawn in make_intro_diagrams.cpp.
#include "intro_art.h"
#include "make_data.h"

#include "lessons/picture_sets.h"

bool makeImages51(const std::string &dataDir)
{
    std::vector<PackPicture> pictures;
    for (int p = 1; p <= images51PictureCount; ++p) {
        const Canvas c = images51Picture(p);
        pictures.push_back({c.width, c.height, c.rgba()});
    }
    return writePack(dataDir, "Images51", pictures);
}
