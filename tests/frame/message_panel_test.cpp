// The message panel's line layout and the text hidden under an open list.
#include <gtest/gtest.h>

#include "frame/controls.h"
#include "frame/message_panel.h"
#include "frame/text.h"
#include "base/shared.h"

using namespace std::string_literals;

TEST(MessagePanel, SlotsFollowTheHintAndPrompt)
{
    struct Case {
        const char *hint, *prompt;
        int32_t line2, line3;
    } cases[] = {{"h", "p", 18, 3}, {"h", "", 33, 18}, {"", "p", 33, 18}, {"", "", 48, 33}};
    for (const Case &c : cases) {
        resetMessageState();
        hintLine = c.hint;
        promptLine = c.prompt;
        showAlert("", "two", "three");
        const PanelLayout p = messagePanelLayout(4, "Status");
        EXPECT_FALSE(p.redFrame);
        EXPECT_EQ(p.icon, 4);
        ASSERT_GE(p.lines.size(), 3u);
        EXPECT_EQ(p.lines[0].text, "Status");
        EXPECT_EQ(p.lines[0].y, 68);
        EXPECT_EQ(p.lines[p.lines.size() - 2].y, c.line2);
        EXPECT_EQ(p.lines.back().text, "three");
        EXPECT_EQ(p.lines.back().y, c.line3);
    }
}

TEST(MessagePanel, AlertLayoutHidesStatusHintAndPrompt)
{
    resetMessageState();
    hintLine = "Click to x";
    showAlert("Stop", "", "");
    PanelLayout p = messagePanelLayout(3, "About Tarnova");
    EXPECT_TRUE(p.redFrame);
    EXPECT_EQ(p.icon, 0);
    ASSERT_EQ(p.lines.size(), 4u);
    EXPECT_EQ(p.lines[0].text, "Stop");
    EXPECT_EQ(p.lines[3].text, "Click anywhere to dismiss Alert>");
    // Icon 0 without an alert: the same lines with the black frame.
    showAlert("", "", "");
    p = messagePanelLayout(0, "Sorry, we can not continue");
    EXPECT_FALSE(p.redFrame);
    EXPECT_EQ(p.lines[3].y, 23);
    for (const PanelText &t : p.lines)
        EXPECT_NE(t.text, "Sorry, we can not continue");
    // Long lines are cut to 255 characters.
    showAlert(std::string(300, 'x'), "", "");
    EXPECT_EQ(alertLines[0].size(), 255u);
}

TEST(MessagePanel, ALineLongerThanTheWindowKeepsItsStartAndEndInsideIt)
{
    resetMessageState();
    const std::string path = "/home/" + std::string(60, 'u') + "/.local/share/Quellbrook/Tarnova/ResourceFiles/soundout.raw";
    const std::string error = "cannot open " + path + ": No such file or directory";
    showAlert("The recording of the exercise cannot be read:", error, "Repeat the lesson to record it again.");
    for (const PanelText &t : messagePanelLayout(9, "Status").lines)
        EXPECT_LE(textBox(font9By15, t.text, 12 + 129, 0).right, mainWindowWidth) << t.text;
    const std::string shown = messagePanelLayout(9, "Status").lines[1].text;
    EXPECT_EQ(shown.substr(0, 12), "cannot open ");
    EXPECT_NE(shown.find("..."), std::string::npos);
    EXPECT_EQ(shown.substr(shown.size() - 27), "No such file or directory"s.insert(0, ": "));
    // A line that fits is left as it is.
    EXPECT_EQ(fitPanelLine("Repeat the lesson to record it again."), "Repeat the lesson to record it again.");
}

TEST(MessagePanel, ASuccessShowsTheInformationIconInTheAlertLayout)
{
    resetMessageState();
    showInformation("File exported successfully to /tmp/a.wav", "", "");
    PanelLayout p = messagePanelLayout(9, "Status");
    EXPECT_TRUE(p.redFrame);
    EXPECT_EQ(p.icon, informationIcon);
    ASSERT_EQ(p.lines.size(), 4u);
    EXPECT_EQ(p.lines[0].text, "File exported successfully to /tmp/a.wav");
    EXPECT_EQ(p.lines[3].text, "Click anywhere to dismiss Alert>");
    // The next alert warns again.
    showAlert("Stop", "", "");
    EXPECT_EQ(messagePanelLayout(9, "Status").icon, alertIcon);
}

TEST(Text, AnOpenListHidesTextOnItsEntriesButNotOnItsOpener)
{
    ControlRecord opener;
    initControl(&opener,
                {.kind = kindPopupOpener, .left = 200, .right = 272, .bottom = 300, .top = 318, .value = 1,
                 .caption = "high"});
    const std::string items[3] = {"a", "b", "c"};
    openPopupList(&opener, 1, items, 3); // entries down to bottom 234
    struct Case {
        double x, y;
        bool hidden;
    } cases[] = {{230, 250, true},  {230, 305, false}, {198, 250, false}, {273.5, 250, true},
                 {274, 250, false}, {230, 232, false}, {230, 232.5, true}, {230, 298, false}};
    for (const Case &c : cases)
        EXPECT_EQ(textHiddenByPopup(c.x, c.y), c.hidden) << c.x << ", " << c.y;
    closePopupList();
    EXPECT_FALSE(textHiddenByPopup(230, 250));
}
