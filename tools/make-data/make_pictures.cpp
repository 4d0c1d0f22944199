// The texture packs Images6, Images7, Images8 and Images9: exactly the
// pictures the program's catalogue reads, in its order and sizes.
#include "make_data.h"
#include "picture_art.h"
#include "picture_pack_writer.h"

#include "audio-files/audio_files.h"
#include "frame/picture_catalogue.h"

#include <cstdio>

static Canvas drawCataloguePicture(const CatalogueStep &p)
{
    switch (p.family) {
    case PictureFamily::frameAnimation: return drawLogoFrame(p.slot, p.width, p.height);
    case PictureFamily::panelIcons: return drawPanelIcon(p.slot, p.width, p.height);
    case PictureFamily::images6: return drawScoreViewFigure(p.slot, p.width, p.height);
    default: {
        Canvas c(p.width, p.height);
        return drawScoreViewNotation(p.slot, c) ? c : drawNotationPicture(p.slot, p.width, p.height);
    }
    }
}

std::vector<PackPicture> cataloguePackPictures(int32_t pack)
{
    std::vector<PackPicture> pictures;
    for (int32_t i = 0; i < packPictureCount(pack); ++i) {
        const CatalogueStep p = packPicture(pack, i);
        pictures.push_back({p.width, p.height, drawCataloguePicture(p).rgba()});
    }
    return pictures;
}

bool makePictureData(const std::string &dataDir)
{
    for (int32_t pack : {6, 7, 8, 9}) {
        const std::string path = dataDir + "/images.prod/Images" + std::to_string(pack);
        const std::vector<uint8_t> bytes = buildTexturePack(cataloguePackPictures(pack));
        std::string error = "no pack built for " + path;
        if (bytes.empty() || !writeBytesToFile(path, bytes, error)) {
            std::fprintf(stderr, "tarnova-make-data: %s\n", error.c_str());
            return false;
        }
    }
    return true;
}
