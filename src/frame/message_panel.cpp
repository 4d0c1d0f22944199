// The message panel and the alert lines.
#include "frame/message_panel.h"

#include <GL/gl.h>

#include "base/shared.h"
#include "frame/controls.h"
#include "frame/gl_draw.h"
#include "frame/picture_catalogue.h"
#include "frame/text.h"

std::string alertLines[3];
std::string hintLine;
std::string promptLine;
int32_t alertKind = 0;
// The icon of the shown alert: the warning, or the information of a success.
static int32_t shownAlertIcon = alertIcon;

static void setAlertLines(const std::string &line1, const std::string &line2, const std::string &line3)
{
    alertLines[0] = cutText(line1);
    alertLines[1] = cutText(line2);
    alertLines[2] = cutText(line3);
    setColour(0.9f, 0.9f, 0.9f, 0.4f);
}

void showAlert(const std::string &line1, const std::string &line2, const std::string &line3)
{
    setAlertLines(line1, line2, line3);
    shownAlertIcon = alertIcon;
}

void showInformation(const std::string &line1, const std::string &line2, const std::string &line3)
{
    setAlertLines(line1, line2, line3);
    shownAlertIcon = informationIcon;
}

void showAlert(int32_t kind, const std::string &line1, const std::string &line2, const std::string &line3)
{
    showAlert(line1, line2, line3);
    alertKind = kind;
}

void clearScreenMessages()
{
    alertKind = 0;
    hintLine.clear();
    promptLine.clear();
    showAlert("", "", "");
}

void clearAlertLines()
{
    for (auto &line : alertLines)
        line.clear();
}

bool alertShown() { return !alertLines[0].empty(); }

void resetMessageState()
{
    clearAlertLines();
    shownAlertIcon = alertIcon;
    hintLine.clear();
    promptLine.clear();
    alertKind = 0;
}

// The panel's lines start at x 141 in the window (the panel's 12 plus 129).
static constexpr double panelTextLeft = 12 + 129;

// A line longer than the window has room for (a message naming a long path)
// keeps its start and its end around "...", so the reason at the end of a
// system error and the file it names both stay readable inside the window.
std::string fitPanelLine(const std::string &text)
{
    auto right = [](std::string_view t) { return textBox(font9By15, t, panelTextLeft, 0).right; };
    if (right(text) <= mainWindowWidth) return text;
    const std::string dots = "...";
    size_t keep = text.size();
    std::string fitted;
    do {
        --keep;
        const size_t head = keep / 3;
        fitted = text.substr(0, head) + dots + text.substr(text.size() - (keep - head));
    } while (keep > 0 && right(fitted) > mainWindowWidth);
    return fitted;
}

static PanelLayout messagePanelLines(int32_t icon, const std::string &statusText);

PanelLayout messagePanelLayout(int32_t icon, const std::string &statusText)
{
    PanelLayout p = messagePanelLines(icon, statusText);
    for (PanelText &line : p.lines) line.text = fitPanelLine(line.text);
    return p;
}

static PanelLayout messagePanelLines(int32_t icon, const std::string &statusText)
{
    PanelLayout p;
    p.redFrame = alertShown();
    p.icon = p.redFrame ? shownAlertIcon : icon;
    if (p.redFrame || icon == alertIcon) {
        // The alert layout (also for a screen that passes icon 0 itself).
        p.lines.push_back({alertLines[0], 68});
        p.lines.push_back({alertLines[1], 53});
        p.lines.push_back({alertLines[2], 38});
        p.lines.push_back({"Click anywhere to dismiss Alert>", 23});
        return p;
    }
    p.lines.push_back({cutText(statusText), 68});
    static constexpr int32_t slots[4] = {48, 33, 18, 3};
    int slot = 0;
    if (!hintLine.empty())
        p.lines.push_back({hintLine, slots[slot++]});
    if (!promptLine.empty())
        p.lines.push_back({promptLine, slots[slot++]});
    p.lines.push_back({alertLines[1], slots[slot++]}); // takes its slot even when empty
    if (!alertLines[2].empty())
        p.lines.push_back({alertLines[2], slots[slot++]});
    return p;
}

static void drawPanel(int32_t icon, const std::string &statusText, int32_t right)
{
    const PanelLayout p = messagePanelLayout(icon, statusText);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslated(12, 12, 0);

    const double r = right;
    if (p.redFrame) {
        const double frame[] = {124, 82, r, 82, r, 0, 124, 0};
        setColour(1, 0, 0, 0.4f);
        drawLineStrip(frame, 4, -6);
    } else {
        const double frame[] = {124, 82, r, 82, r, 62, 124, 62, 124, 0};
        setColour(0, 0, 0, 0.4f);
        drawLineStrip(frame, 5, -6);
    }

    // Any other icon number binds nothing new, so the last bound picture shows.
    setColour(1, 1, 1, 0.4f);
    glEnable(GL_TEXTURE_2D);
    if (p.icon >= 0 && p.icon < panelIconCount)
        glBindTexture(GL_TEXTURE_2D, panelIconTextures[p.icon]);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    glBegin(GL_QUADS);
    glTexCoord2d(0, 1);
    glVertex3d(0, 0, -6);
    glTexCoord2d(1, 1);
    glVertex3d(119, 0, -6);
    glTexCoord2d(1, 0);
    glVertex3d(119, 82, -6);
    glTexCoord2d(0, 0);
    glVertex3d(0, 82, -6);
    glEnd();
    glDisable(GL_TEXTURE_2D);

    setColour(0, 0, 0, 0.4f);
    for (const PanelText &line : p.lines)
        if (!line.text.empty())
            drawText(font9By15, line.text, 129, line.y);

    glPopMatrix();
}

void drawMessagePanel(int32_t icon, const std::string &statusText)
{
    drawPanel(icon, statusText, mainPanelRightEdge);
}

void drawLessonMessagePanel(int32_t icon, const std::string &statusText)
{
    drawPanel(icon, statusText, lessonPanelRightEdge);
}

void drawStatisticsMessagePanel(int32_t icon, const std::string &statusText, int32_t rightEdge)
{
    drawPanel(icon, statusText, rightEdge);
}
