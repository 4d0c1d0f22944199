#include "intro/intro_pages.h"

#include "base/rounding.h"
#include "frame/immediate_draw.h"
#include "intro/definition_panels.h"
#include "intro/intro_slides.h"
#include "intro/overview_mock.h"
#include "intro/sample_pages.h"
#include "intro/speech_bubbles.h"
#include "music/note_voices.h"
#include "music/staff_geometry.h"

namespace {

// Steps inside [first, last].
bool inSteps(int32_t step, int32_t first, int32_t last) { return step >= first && step <= last; }

int32_t scaled(int32_t d, int32_t of, int32_t by) { return roundToInt32(double(d) / of * by); }

void largeLine(ImmediateDraw &draw, const char *s, double x, double y)
{
    draw.text(DrawnText::large, introLessonFont, s, x, y);
}

void blackInk(ImmediateDraw &draw) { draw.colour(0, 0, 0, 0.4f); }

// ---- Topic 1: the accuracy graph ----------------------------------------------

void crossAt735(ImmediateDraw &draw)
{
    draw.colour(0, 0, 0, 1);
    draw.lineWidth(1);
    draw.line(94, 408, 174, 408, -11);
    draw.line(735, 160, 735, 440, -5);
    draw.colour(0, 0, 0, 0.4f);
    draw.lineWidth(6);
    draw.line(715, 388, 755, 428, -5);
    draw.line(715, 428, 755, 388, -5);
    draw.lineWidth(1);
}

// Scene W: the graph at tick 0 with "Absolute Pitch meets Relative Pitch".
void sceneW(ImmediateDraw &draw)
{
    drawAccuracyGraph(draw, 0, 500);
    crossAt735(draw);
    blackInk(draw);
    largeLine(draw, "Absolute Pitch", 608, 480);
    largeLine(draw, "meets Relative Pitch", 550, 455);
}

// Scene W+: W and the marked time at the foot of the cross.
void sceneWPlus(ImmediateDraw &draw, int32_t tickLineFrom)
{
    sceneW(draw);
    draw.colour(0.9f, 0.9f, 0.9f, 1);
    draw.quad(680, 148, 755, 178, -6);
    draw.colour(0, 0, 0, 0.4f);
    draw.lineWidth(4);
    draw.line(735, 148, 735, 178, -5);
    draw.lineWidth(1);
    draw.line(tickLineFrom, 158, 755, 158, -5);
}

// Scene P: the graph at a tick, titled "Absolute Pitch Point"; arrowX the
// growing arrow's head (0 none).
void sceneP(ImmediateDraw &draw, int32_t tick, int32_t arrowX)
{
    drawAccuracyGraph(draw, tick, 500);
    crossAt735(draw);
    blackInk(draw);
    largeLine(draw, "Absolute Pitch", 630, 480);
    largeLine(draw, "Point", 690, 455);
    if (arrowX != 0) draw.arrow(true, 4, 100, 407, arrowX, 407, 3);
}

void topic1(ImmediateDraw &draw, int32_t step)
{
    if (inSteps(step, 154, 173)) sceneW(draw);
    else if (inSteps(step, 174, 276)) sceneWPlus(draw, 676);
    else if (inSteps(step, 277, 282)) sceneWPlus(draw, 680);
    else if (inSteps(step, 283, 331)) sceneP(draw, 0, 0);
    else if (inSteps(step, 332, 405)) sceneP(draw, step - 332, 130 + scaled(step - 332, 74, 605));
    else if (inSteps(step, 406, 610)) sceneP(draw, 74, 735);
    else if (inSteps(step, 611, 696)) {
        const int32_t t = 74 - (step - 611);
        if (t >= 1) sceneP(draw, t, 130 + scaled(t, 74, 605));
        else sceneP(draw, 1, 0);
    } else if (inSteps(step, 697, 1327)) sceneP(draw, 0, 0);
}

// ---- Topic 2: absolute and perfect pitch on two staves --------------------------

void staffWithA4(ImmediateDraw &draw, int32_t x)
{
    draw.trebleStaff(x, x + 180);
    draw.trebleClef(x);
    draw.staffNote(x + 120, 0, 36, 1);
}

// Scene S, the left staff: heading, "Absolute Pitch" and a pitch line.
void sceneS(ImmediateDraw &draw, const char *heading, const char *pitchLine)
{
    staffWithA4(draw, 100);
    draw.colour(0, 0, 1, 0.4f);
    largeLine(draw, heading, 220, 580);
    largeLine(draw, "Absolute Pitch", 220, 460);
    if (pitchLine != nullptr) largeLine(draw, pitchLine, 220, 435);
}

// Scene T, the right staff: "Your Instrument", the pitch line and a name.
void sceneT(ImmediateDraw &draw, const char *pitchLine, const char *name)
{
    staffWithA4(draw, 500);
    draw.colour(0, 0, 1, 0.4f);
    largeLine(draw, "Your Instrument", 620, 580);
    largeLine(draw, pitchLine, 620, 435);
    largeLine(draw, name, 620, 460);
}

void crossOut(ImmediateDraw &draw, int32_t x)
{
    draw.colour(0, 0, 0, 0.4f);
    draw.lineWidth(2);
    draw.line(x, 460, x + 150, 485, -6);
    draw.line(x, 485, x + 150, 460, -6);
    draw.lineWidth(1);
}

void perfect(ImmediateDraw &draw, float alpha)
{
    draw.colour(0, 0, 0, alpha);
    largeLine(draw, "=====> Perfect <=====", 360, 435);
}

void organAndInstrument(ImmediateDraw &draw, bool withPerfect)
{
    sceneS(draw, "Old Church Organ", "A4 = 432 Hz");
    crossOut(draw, 220);
    sceneT(draw, "A4 = 432 Hz", "Absolute Pitch");
    crossOut(draw, 620);
    if (withPerfect) perfect(draw, 0.4f);
    drawDiagramIcon(draw, 1, 80, 0);
    drawDiagramIcon(draw, 3, 490, 0);
}

void topic2(ImmediateDraw &draw, int32_t step)
{
    if ((step == 1586 || step == 1645)) setChordVoices(27);
    if (inSteps(step, 1347, 1436)) {
        blackInk(draw);
        largeLine(draw, "Brimble's Pitch Point", 540, 290);
    } else if (inSteps(step, 1586, 1719)) {
        sceneS(draw, "Equal-tempered system", nullptr);
        drawDiagramIcon(draw, 2, 0, 0);
    } else if (inSteps(step, 1720, 1883)) {
        sceneS(draw, "Equal-tempered system", "A4 = 440 Hz");
        drawDiagramIcon(draw, 2, 0, 0);
    } else if (inSteps(step, 1884, 2085)) {
        sceneS(draw, "Old Church Organ", "A4 = 432 Hz");
        if (step >= 1995) crossOut(draw, 220);
        drawDiagramIcon(draw, 1, 80, 0);
    } else if (inSteps(step, 2086, 2228)) {
        organAndInstrument(draw, false);
    } else if (inSteps(step, 2229, 2428)) {
        organAndInstrument(draw, true);
    } else if (inSteps(step, 2429, 2594)) {
        sceneS(draw, "Equal-Tempered System", "A4 = 440 Hz");
        sceneT(draw, "A4 = 440 Hz", "Perfect Pitch");
        if (step >= 2507) {
            draw.colour(1, 0, 0, 0);
            largeLine(draw, "  =================", 360, 460);
            perfect(draw, 1);
        } else {
            perfect(draw, 0.4f);
        }
        drawDiagramIcon(draw, 2, 0, 0);
        drawDiagramIcon(draw, 3, 490, 0);
    } else if (inSteps(step, 2595, 2726)) {
        sceneP(draw, 0, 0);
    } else if (inSteps(step, 2803, 2845)) {
        drawDiagramPair(draw, 6, 0);
        blackInk(draw);
        largeLine(draw, "Perfect Pitch Point", 880, 660);
    } else if (inSteps(step, 2846, 2970)) {
        const int32_t d = step - 2846;
        drawAbsolutePitchDefinition(draw, d < 24 ? d / 4 : 7);
    } else if (inSteps(step, 2971, 3158)) {
        drawAbsolutePitchDefinition(draw, 7);
    } else if (inSteps(step, 3159, 3280)) {
        drawDiagramPair(draw, 6, 0);
        blackInk(draw);
        largeLine(draw, "Brimble's Pitch Point", 880, 660);
    } else if (inSteps(step, 3281, 3364)) {
        blackInk(draw);
        largeLine(draw, "Perfect Pitch", 160, 420);
        largeLine(draw, "Super-Runners", 520, 420);
        draw.arrow(true, 1, 400, 430, 300, 430, 3);
        draw.arrow(true, 1, 400, 430, 500, 430, 3);
    } else if (inSteps(step, 3365, 3583)) {
        drawDiagramPicture(draw, 2, 150, 0);
    } else if (inSteps(step, 3584, 3848)) {
        drawDiagramPicture(draw, 3, 150, 0);
    }
}

// ---- Topic 3: Brimble's Pitch Point ----------------------------------------------

void pitchPointTitle(ImmediateDraw &draw)
{
    blackInk(draw);
    largeLine(draw, "Brimble's Pitch Point", 880, 660);
}

void ability(ImmediateDraw &draw)
{
    blackInk(draw);
    largeLine(draw, "Absolute Pitch Ability ", 780, 142);
}

// The two white panels with up to two lines under each title.
void comparePanels(ImmediateDraw &draw, int32_t lines)
{
    draw.colour(1, 1, 1, 0.5f);
    draw.quad(320, 420, 580, 520, -10);
    draw.quad(620, 420, 880, 520, -10);
    blackInk(draw);
    largeLine(draw, "Brimble's Pitch Point", 630, 480);
    largeLine(draw, "Absolute Pitch Point", 330, 480);
    auto small = [&](const char *s, double x, double y) { draw.text(DrawnText::normal, introLessonFont, s, x, y); };
    if (lines >= 1) {
        small("- Singing required", 630, 455);
        if (lines >= 2) small("- Specified Fixed Time", 630, 430);
        small("- Listening Skill", 330, 455);
        if (lines >= 2) small("- Individual Point in Time", 330, 430);
    }
}

void definition(ImmediateDraw &draw, int32_t stage)
{
    drawDiagramPair(draw, 6, 0);
    pitchPointTitle(draw);
    drawPitchPointDefinition(draw, stage);
}

// Interval: two purple lines 45 seconds apart with arrows between them.
void interval(ImmediateDraw &draw)
{
    draw.colour(0.734375f, 0.355469f, 0.636719f, 0.4f);
    draw.lineWidth(2);
    draw.line(259, 180, 259, 480, -6);
    draw.line(359, 180, 359, 480, -6);
    draw.lineWidth(1);
    draw.arrow(false, 1, 309, 340, 259, 340, 2);
    draw.arrow(false, 1, 309, 340, 359, 340, 2);
    draw.text(DrawnText::normal, introLessonFont, "45 sec", 280, 320);
}

// What a row of topic 3 shows.
enum class Scene3 : int8_t {
    heading,        // the title alone in the middle
    compare,        // the two panels with `a` lines each
    pairTitle,      // diagram pair 6 and the title
    definition,     // pair 6, title, the definition at stage `a` and `picture` at (x, y)
    timeDefinition, // the definition with the time axis, its labels and the interval
    titledPicture,  // the title and diagram picture `a` at (350, 0)
};
enum class Picture3 : int8_t { none, portrait, small, interval };
struct Topic3Row {
    int16_t first, last;
    Scene3 scene;
    int8_t a;
    Picture3 picture = Picture3::none;
    int16_t x = 0, y = 0;
};
constexpr Topic3Row topic3Rows[] = {
    {3898, 3959, Scene3::heading, 0},
    {3960, 4056, Scene3::compare, 0},
    {4057, 4202, Scene3::compare, 1},
    {4203, 4497, Scene3::compare, 2},
    {4498, 4564, Scene3::pairTitle, 0},
    {4565, 4633, Scene3::definition, 2, Picture3::portrait, 152, 295},
    {4634, 4685, Scene3::definition, 3, Picture3::small, 190, 320},
    {4686, 4954, Scene3::definition, 3, Picture3::small, 220, 320},
    {4955, 5025, Scene3::definition, 4, Picture3::small, 780, 140},
    {5026, 5096, Scene3::definition, 4, Picture3::small, 780, 330},
    {5097, 5184, Scene3::definition, 6, Picture3::portrait, 739, 295},
    {5185, 5250, Scene3::definition, 7, Picture3::portrait, 739, 295},
    {5251, 5503, Scene3::definition, 7},
    {5504, 5698, Scene3::definition, 7, Picture3::interval},
    {5699, 5852, Scene3::timeDefinition, 7},
    {5853, 5975, Scene3::titledPicture, 4},
    {5976, 6180, Scene3::titledPicture, 5},
};

void topic3(ImmediateDraw &draw, int32_t step)
{
    for (const Topic3Row &r : topic3Rows) {
        if (!inSteps(step, r.first, r.last)) continue;
        switch (r.scene) {
        case Scene3::heading:
            blackInk(draw);
            largeLine(draw, "Brimble's Pitch Point", 630, 480);
            break;
        case Scene3::compare: comparePanels(draw, r.a); break;
        case Scene3::pairTitle:
            drawDiagramPair(draw, 6, 0);
            pitchPointTitle(draw);
            break;
        case Scene3::definition: definition(draw, r.a); break;
        case Scene3::timeDefinition:
            drawDiagramPair(draw, 6, 0);
            pitchPointTitle(draw);
            largeLine(draw, "Time", 880, 172);
            largeLine(draw, "Absolute Pitch Ability ", 780, 142);
            drawPitchPointDefinition(draw, r.a);
            interval(draw);
            break;
        case Scene3::titledPicture:
            pitchPointTitle(draw);
            drawDiagramPicture(draw, r.a, 350, 0);
            break;
        }
        switch (r.picture) {
        case Picture3::none: break;
        case Picture3::portrait: drawPortraitPicture(draw, r.x, r.y); break;
        case Picture3::small: drawSmallPicture(draw, r.x, r.y); break;
        case Picture3::interval: interval(draw); break;
        }
        return;
    }
}

// ---- Topic 4: the training-program overview ----------------------------------------

struct Pick {
    int16_t pair, x1, x2, y2;
};
constexpr Pick picks[7] = {{14, 120, 1005, 600}, {8, 210, 1050, 600}, {9, 255, 960, 520},  {10, 345, 1005, 520},
                           {11, 435, 1050, 520}, {12, 525, 960, 440}, {13, 570, 1005, 440}};

void mock(ImmediateDraw &draw, int32_t lesson) { drawTrainingOverviewMock(draw, true, lesson); }

void topic4(ImmediateDraw &draw, int32_t step)
{
    // The heading is drawn after the mock: its backdrop would cover it
    // (nothing but the drawing order decides what lies in front).
    if (inSteps(step, 6227, 6617)) {
        mock(draw, topic4MockLesson(step));
        pitchPointTitle(draw);
        if (inSteps(step, 6400, 6562)) drawPortraitPicture(draw, 739, 295);
        if (step == 6584 || step == 6585) drawMockNextPressed(draw);
    } else if (inSteps(step, 6618, 6747)) {
        mock(draw, 2);
        pitchPointTitle(draw);
        if (step == 6729 || step == 6730) drawMockStartLessonPressed(draw);
    } else if (inSteps(step, 6748, 6807)) {
        drawDiagramPair(draw, 3, 0);
        if (step >= 6798) drawIconTransfer(draw, 30, 480, 960, 600, step - 6798, 1);
    } else if (inSteps(step, 6808, 6940)) {
        drawDiagramPair(draw, 4, 0);
        drawStaffMarkerNote(draw, 820, 1, frequencyToStaffHeight(261.6256));
    } else if (inSteps(step, 6941, 7010)) {
        const int32_t k = (step - 6941) / 10;
        const Pick &p = picks[k];
        drawDiagramPair(draw, p.pair, 0);
        drawIconTransfer(draw, p.x1, 480, p.x2, p.y2, step - (6941 + 10 * k), k + 2);
    } else if (inSteps(step, 7011, 7055)) {
        drawDiagramPair(draw, 5, 0);
    } else if (inSteps(step, 7056, 7274)) {
        mock(draw, 2);
        if (step == 7265) drawMockNextPressed(draw);
        pitchPointTitle(draw);
    } else if (inSteps(step, 7275, 8301)) {
        mock(draw, topic4MockLesson(step));
        if (inSteps(step, 7291, 7358)) {
            draw.colour(1, 0, 0, 0.4f);
            draw.ellipseOutline(260, 400, 100, 10, 120, 3);
        }
        const bool nextPressed = inSteps(step, 7681, 7684) || step == 7713 || step == 7820 ||
                                 (inSteps(step, 8191, 8261) && (step - 8191) % 10 == 0);
        if (nextPressed) drawMockNextPressed(draw);
        if (step == 8301) drawMockStartLessonPressed(draw);
    }
}

// ---- Topics 8 and 9: muscle memory and the method ----------------------------------

void mockAbility(ImmediateDraw &draw, int32_t lesson, bool portrait = false)
{
    mock(draw, lesson);
    ability(draw);
    if (portrait) drawPortraitPicture(draw, 739, 295);
}

void wordCards(ImmediateDraw &draw, const char *english, const char *french)
{
    drawWordCard(draw, 0, 200, "English", english);
    drawWordCard(draw, 350, 200, "French", french);
    draw.arrow(true, 1, 570, 480, 640, 480, 3);
    draw.arrow(true, 1, 570, 480, 510, 480, 3);
}

// What a row of topic 8 shows.
enum class Scene8 : int8_t {
    picture,       // diagram picture `a` at (x, y)
    namedPicture,  // the same with the name "Orvale"
    firstOverview, // the overview at lesson 1 without the mock's backdrop, title, time and ability
    mockAbility,   // the overview at lesson `a`, the ability line, the portrait when `portrait`
    wordCards,     // the two word cards
};
struct Topic8Row {
    int16_t first, last;
    Scene8 scene;
    int16_t a = 0, x = 0, y = 0;
    bool portrait = false;
    const char *english = nullptr, *french = nullptr;
};
constexpr Topic8Row topic8Rows[] = {
    {14151, 14240, Scene8::picture, 6, 200, 20},
    {14241, 14369, Scene8::picture, 7, 200, 20},
    {14370, 14496, Scene8::namedPicture, 7, 200, 20},
    {14497, 14617, Scene8::firstOverview},
    {14618, 14735, Scene8::mockAbility, 3},
    {14736, 14836, Scene8::picture, 5, 350, 0},
    {14837, 14916, Scene8::picture, 4, 350, 0},
    {14917, 15027, Scene8::mockAbility, 102},
    {15028, 15403, Scene8::mockAbility, 101},
    {15404, 15697, Scene8::mockAbility, 5},
    {15698, 16444, Scene8::mockAbility, 6},
    {16445, 16886, Scene8::wordCards, 0, 0, 0, false, "The house", "La maison"},
    {16887, 16965, Scene8::mockAbility, 491, 0, 0, true},
    {16966, 17577, Scene8::mockAbility, 491},
};

void topic8(ImmediateDraw &draw, int32_t step)
{
    for (const Topic8Row &r : topic8Rows) {
        if (!inSteps(step, r.first, r.last)) continue;
        switch (r.scene) {
        case Scene8::picture: drawDiagramPicture(draw, r.a, r.x, r.y); break;
        case Scene8::namedPicture:
            drawDiagramPicture(draw, r.a, r.x, r.y);
            blackInk(draw);
            largeLine(draw, "Orvale", 880, 440);
            break;
        case Scene8::firstOverview:
            drawTrainingOverviewMock(draw, false, 1);
            pitchPointTitle(draw);
            largeLine(draw, "Time", 880, 172);
            ability(draw);
            break;
        case Scene8::mockAbility: mockAbility(draw, r.a, r.portrait); break;
        case Scene8::wordCards: wordCards(draw, r.english, r.french); break;
        }
        return;
    }
}

struct MockRange {
    int16_t first, last, lesson;
    bool portrait;
};
// Topic 9's ranges that show the mock and the ability line.
constexpr MockRange topic9Mocks[] = {
    {17623, 17700, 491, false}, {17701, 17907, 491, true},  {17908, 18091, 3, false},   {18092, 18309, 33, false},
    {18310, 18441, 63, false},  {18442, 18474, 93, false},  {18475, 18624, 240, false}, {18625, 18716, 480, false},
    {18717, 18778, 484, false}, {18779, 18883, 487, false}, {18884, 18979, 502, false}, {18980, 19099, 492, false},
    {19100, 19212, 491, true},  {19213, 19318, 503, false}, {19319, 19400, 509, false}, {19401, 19576, 554, false},
    {19577, 19942, 491, false}, {19943, 20021, 556, false}, {20022, 20155, 7, false},    {20156, 20316, 41, false},
    {20572, 20877, 361, false}, {21172, 21231, 3, false},   {21232, 21388, 3, true},
};

void topic9(ImmediateDraw &draw, int32_t step)
{
    if (inSteps(step, 17588, 17622)) {
        blackInk(draw);
        largeLine(draw, "Orvale", 700, 470);
        return;
    }
    for (const MockRange &r : topic9Mocks) {
        if (!inSteps(step, r.first, r.last)) continue;
        mock(draw, r.lesson);
        if (r.first == 20572) {
            blackInk(draw);
            largeLine(draw, "Personal", 570, 560);
            largeLine(draw, "Perfect Pitch Point", 510, 535);
        }
        ability(draw);
        if (r.portrait) drawPortraitPicture(draw, 739, 295);
        if (inSteps(step, 17908, 17980)) {
            draw.colour(1, 0, 0, 0.4f);
            draw.ellipseOutline(260, 400, 100, 10, 120, 3);
        }
        if (inSteps(step, 19577, 19753)) {
            draw.colour(1, 0, 0, 0.4f);
            draw.lineWidth(3);
            frameRect(draw, 825, 295, 1120, 505, -6);
            draw.lineWidth(1);
        }
        return;
    }
    if (inSteps(step, 20317, 20571)) {
        drawDiagramPicture(draw, 8, 150, 100);
        if (step >= 20363) drawGrowingBarChart(draw, step <= 20485 ? step - 20363 : 123);
        if (step >= 20486) drawDiagramIcon(draw, 4, 340, -400);
    } else if (inSteps(step, 20878, 21047)) wordCards(draw, "The toothpick", "Le cure-dent");
    else if (inSteps(step, 21048, 21171)) wordCards(draw, "The pinky", "L'auriculaire");
    else if (step == 21389) {
        draw.colour(0, 0, 0, 0.9f);
        largeLine(draw, "Gildermoor", 410, 660);
    }
}

} // namespace

int32_t topic4MockLesson(int32_t step)
{
    if (inSteps(step, 6227, 6584)) return 1;
    if (inSteps(step, 6585, 6747) || inSteps(step, 7056, 7274)) return 2;
    if (inSteps(step, 7275, 7684)) return 3;
    if (inSteps(step, 7685, 7716)) return 4;
    if (inSteps(step, 7717, 7823)) return 5;
    if (inSteps(step, 7824, 8184)) return 6;
    if (inSteps(step, 8185, 8261)) return 7 + (step - 8182) / 10; // one more after each press at 8191 + 10 k
    if (inSteps(step, 8262, 8301)) return 15;
    return 0;
}

void drawIntroPageExtras(ImmediateDraw &draw, int32_t topic, int32_t step)
{
    switch (topic) {
    case 1: topic1(draw, step); break;
    case 2: topic2(draw, step); break;
    case 3: topic3(draw, step); break;
    case 4: topic4(draw, step); break;
    case 8: topic8(draw, step); break;
    case 9: topic9(draw, step); break;
    default: break;
    }
}

void drawIntroRowExtras(ImmediateDraw &draw, const IntroPageRow &row, int32_t step)
{
    const bool sample = (row.topic >= 5 && row.topic <= 7) || (row.topic == 4 && step >= 8302);
    if (sample) {
        drawSampleRowExtras(row.first, step);
        return;
    }
    drawIntroPageExtras(draw, row.topic, step);
}
