// The introductory lesson's own packs: Images0 (a title picture, the teacher
// figures' bodies and mouths, 17 pictures), Images1 (46 walk-in frames),
// Images14 (two extra bodies and a mouth) and Images50 (14 slides and a small
// picture) in exactly the sizes the lesson reads them. The teacher is drawn
// so that talking is visible: five body poses and four mouth shapes on a
// transparent ground, and the teacher's framed portrait; everything else is a
// labelled card until its page content is drawn.
#include "intro_art.h"
#include "make_data.h"

#include "audio-files/audio_files.h"
#include "lessons/picture_sets.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <future>

static const Colour ink = {0.1f, 0.1f, 0.12f, 1};

Canvas labelledPicture(const std::string &pack, int index, int width, int height, int tintSeed)
{
    Canvas c(width, height);
    const float t = static_cast<float>((tintSeed * 37) % 100) / 100.0f;
    c.fill({0.82f + 0.15f * t, 0.9f - 0.1f * t, 0.95f - 0.2f * t, 1});
    const double frame = std::max(1.0, std::min(width, height) / 60.0);
    c.fillRect(0, 0, width, frame, ink);
    c.fillRect(0, height - frame, width, height, ink);
    c.fillRect(0, 0, frame, height, ink);
    c.fillRect(width - frame, 0, width, height, ink);
    const std::string name = pack + " #" + std::to_string(index);
    const std::string size = std::to_string(width) + "X" + std::to_string(height);
    int scale = std::max(1, std::min(width / (Canvas::textWidth(name, 1) + 4), height / 20));
    scale = std::min(scale, 12);
    const int w = Canvas::textWidth(name, scale);
    c.text((width - w) / 2.0, height / 2.0 - 4 * scale, name, scale, ink);
    const int sizeScale = std::max(1, scale / 2);
    c.text((width - Canvas::textWidth(size, sizeScale)) / 2.0, height / 2.0 + 5 * scale, size, sizeScale, ink);
    return c;
}

bool writePack(const std::string &dataDir, const std::string &name, const std::vector<PackPicture> &pictures)
{
    const std::string path = dataDir + "/images.prod/" + name;
    const std::vector<uint8_t> bytes = buildTexturePack(pictures);
    std::string error = "no pack built for " + path;
    if (bytes.empty() || !writeBytesToFile(path, bytes, error)) {
        std::fprintf(stderr, "tarnova-make-data: %s\n", error.c_str());
        return false;
    }
    return true;
}

void showProgress(const std::string &what, int done, int total)
{
    static const bool terminal = isatty(STDOUT_FILENO) != 0;
    static std::string lastWhat;
    static int lastQuarter = -1;
    if (what != lastWhat) lastWhat = what, lastQuarter = -1;
    if (terminal) {
        std::printf("\r%s: %d of %d%s", what.c_str(), done, total, done == total ? "\n" : "");
    } else if (done == total || done * 4 / total > lastQuarter) {
        // Into a log: a line at each quarter and at the end.
        lastQuarter = done * 4 / total;
        std::printf("%s: %d of %d\n", what.c_str(), done, total);
    }
    std::fflush(stdout);
}

static PackPicture packPicture(const Canvas &c) { return {c.width, c.height, c.rgba()}; }

// ---- The teacher --------------------------------------------------------------
// 190 x 210, first row on top. The head sits at (95, 62); the mouth at (95, 82).

static const Colour skin = {0.96f, 0.8f, 0.66f, 1};
static const Colour hair = {0.45f, 0.28f, 0.12f, 1};
static const Colour coats[5] = {{0.2f, 0.35f, 0.7f, 1}, {0.2f, 0.55f, 0.35f, 1}, {0.55f, 0.3f, 0.6f, 1},
                                {0.7f, 0.35f, 0.2f, 1}, {0.25f, 0.45f, 0.55f, 1}};

// Arm poses: 0 at the sides, 1 one hand raised in explanation, 2 pointing
// to the side, 3 pressing (the click), 4 both hands open.
static void drawArms(Canvas &c, int pose, const Colour &coat)
{
    auto arm = [&](double x0, double y0, double x1, double y1) {
        c.line(x0, y0, x1, y1, 13, coat);
        c.fillDisc(x1, y1, 7, skin);
    };
    switch (pose) {
    case 0: arm(68, 118, 58, 178), arm(122, 118, 132, 178); break;
    case 1: arm(68, 118, 58, 178), arm(122, 118, 160, 96); break;
    case 2: arm(68, 118, 58, 178), arm(122, 118, 178, 120); break;
    case 3: arm(68, 118, 58, 178), arm(122, 118, 150, 150); break;
    default: arm(68, 118, 24, 106), arm(122, 118, 166, 106); break;
    }
}

static Canvas teacherBody(int figure)
{
    Canvas c(teacherPictureSide, teacherPictureHeight);
    const Colour &coat = coats[figure % 5];
    c.fillRect(76, 168, 90, 208, ink);   // legs
    c.fillRect(100, 168, 114, 208, ink);
    c.fillEllipse(95, 138, 34, 44, 0, coat); // body
    drawArms(c, figure, coat);
    c.fillDisc(95, 62, 34, skin);        // head
    c.fillEllipse(95, 36, 34, 14, 0, hair);
    c.fillDisc(82, 56, 3.5, ink);        // eyes
    c.fillDisc(108, 56, 3.5, ink);
    return c;
}

// Mouth shapes: 0 closed, 1 half open, 2 wide open, 3 the resting smile, 4 "oh".
static Canvas teacherMouthPicture(int mouth)
{
    Canvas c(teacherPictureSide, teacherPictureHeight);
    const Colour lips = {0.6f, 0.1f, 0.15f, 1};
    const Colour dark = {0.25f, 0.02f, 0.05f, 1};
    switch (mouth) {
    case 0: c.line(83, 82, 107, 82, 3, lips); break;
    case 1: c.fillEllipse(95, 82, 11, 5, 0, lips), c.fillEllipse(95, 82, 8, 2.5, 0, dark); break;
    case 2: c.fillEllipse(95, 84, 13, 10, 0, lips), c.fillEllipse(95, 84, 10, 7, 0, dark); break;
    case 3: c.curve({{82, 79}, {88, 85}, {95, 87}, {102, 85}, {108, 79}}, 3, lips); break;
    default: c.fillEllipse(95, 84, 7, 8, 0, lips), c.fillEllipse(95, 84, 4.5, 5.5, 0, dark); break;
    }
    return c;
}

// Figure 5: a whole figure in one picture (body and mouth together).
static Canvas singleFigure()
{
    Canvas c = teacherBody(4);
    const Canvas m = teacherMouthPicture(4);
    for (size_t i = 0; i < c.px.size(); i += 4)
        if (m.px[i + 3] > 0)
            for (int k = 0; k < 4; ++k) c.px[i + k] = m.px[i + k] + c.px[i + k] * (1 - m.px[i + 3]);
    c.text(6, 6, "F5", 2, ink);
    return c;
}

// Picture 32, the framed portrait of the teacher beside Brimble's Pitch
// Point (152 x 207): a gilt frame round a pale ground, the head and
// shoulders of the teacher's first figure smiling.
static Canvas teacherPortrait()
{
    Canvas c(152, 207);
    const Colour gilt = {0.78f, 0.62f, 0.22f, 1};
    const Colour giltShade = {0.55f, 0.4f, 0.12f, 1};
    const Colour ground = {0.88f, 0.92f, 0.97f, 1};
    c.fill(giltShade);
    c.fillRect(4, 4, 148, 203, gilt);
    c.fillRect(12, 12, 140, 195, giltShade);
    c.fillRect(14, 14, 138, 193, ground);
    const Colour &coat = coats[0];
    c.fillEllipse(76, 200, 58, 48, 0, coat);        // shoulders, cut by the frame
    c.fillPolygon({{64, 150}, {88, 150}, {76, 172}}, {1, 1, 1, 1}); // collar
    c.fillRect(68, 128, 84, 152, skin);             // neck
    c.fillEllipse(76, 92, 40, 46, 0, skin);         // head
    c.fillEllipse(76, 54, 42, 18, 0, hair);
    c.fillEllipse(40, 74, 8, 22, 0, hair);
    c.fillEllipse(112, 74, 8, 22, 0, hair);
    c.fillDisc(61, 86, 4.5, ink);                   // eyes
    c.fillDisc(91, 86, 4.5, ink);
    c.line(54, 76, 68, 74, 2.5, hair);              // brows
    c.line(84, 74, 98, 76, 2.5, hair);
    c.curve({{62, 112}, {69, 119}, {76, 121}, {83, 119}, {90, 112}}, 3.5, {0.6f, 0.1f, 0.15f, 1});
    return c;
}

static std::vector<PackPicture> images0Pictures()
{
    std::vector<PackPicture> out;
    for (int p = 1; p <= images0PictureCount; ++p) {
        const PictureSize s = images0Sizes[p - 1];
        if (p >= 2 && p <= 26) {
            const int figure = (p - 2) / 5, part = (p - 2) % 5;
            out.push_back(packPicture(part == 0 ? teacherBody(figure) : teacherMouthPicture(part - 1)));
        } else if (p == 31) {
            out.push_back(packPicture(singleFigure()));
        } else if (p == 32) {
            out.push_back(packPicture(teacherPortrait()));
        } else {
            out.push_back(packPicture(labelledPicture("IMAGES0", p, s.width, s.height, p)));
        }
    }
    return out;
}

// The walk-in: the figure steps in from the left over 46 frames.
static std::vector<PackPicture> images1Pictures()
{
    std::vector<PackPicture> out;
    for (int f = 0; f < images1PictureCount; ++f) {
        Canvas c(teacherPictureSide, teacherPictureHeight);
        const Canvas body = teacherBody(f % 2 == 0 ? 0 : 4);
        const int shift = (45 - f) * 4;
        for (int y = 0; y < c.height; ++y)
            for (int x = shift; x < c.width; ++x)
                for (int k = 0; k < 4; ++k)
                    c.px[(static_cast<size_t>(y) * c.width + x) * 4 + k] =
                        body.px[(static_cast<size_t>(y) * c.width + x - shift) * 4 + k];
        c.text(150, 6, std::to_string(f), 2, ink);
        out.push_back(packPicture(c));
    }
    return out;
}

static std::vector<PackPicture> images14Pictures()
{
    return {packPicture(teacherBody(1)), packPicture(teacherBody(3)), packPicture(teacherMouthPicture(4))};
}

static std::vector<PackPicture> images50Pictures()
{
    std::vector<PackPicture> out;
    for (int p = 1; p <= images50PictureCount; ++p) {
        out.push_back(packPicture(images50Picture(p)));
    }
    return out;
}

bool makeIntroPictures(const std::string &dataDir)
{
    struct Job {
        const char *name;
        std::vector<PackPicture> (*make)();
    };
    const Job jobs[] = {{"Images0", images0Pictures}, {"Images1", images1Pictures},
                        {"Images14", images14Pictures}, {"Images50", images50Pictures}};
    std::vector<std::future<bool>> done;
    for (const Job &j : jobs)
        done.push_back(std::async(std::launch::async, [&dataDir, j] { return writePack(dataDir, j.name, j.make()); }));
    bool ok = true;
    int n = 0;
    for (auto &d : done) {
        ok = d.get() && ok;
        showProgress("introduction picture packs", ++n, static_cast<int>(done.size()));
    }
    return ok;
}
