// The input template driven by sequences of input events against a small
// screen of test controls; no window is needed.
#include <gtest/gtest.h>

#include "frame/controls.h"
#include "frame/input_template.h"
#include "frame/message_panel.h"
#include "base/shared.h"
#include "frame/text_field.h"

namespace {

ControlRecord button, opener, nameField, passwordField;
int32_t pending = 0, deferred = 0, phase = 1, frameCounter = 0;
std::string storedName, storedPassword, realPassword;
int32_t chosenList = -1, chosenItem = -1, finishedField = -1, actionsRun = 0;
const std::string tessituras[3] = {"high", "medium", "low"};

void ownAction(int32_t code)
{
    ++actionsRun;
    if (code == 21)
        openPopupList(&opener, 7, tessituras, 3);
    else if (code == 22)
        pending = startFieldEdit(&nameField, "Type a name");
    else if (code == 23)
        pending = startFieldEdit(&passwordField, "Type a password");
}

void finishEdit(int32_t id, const std::string &value, unsigned char lastKey)
{
    finishedField = id;
    // Like the real screens: Return and Tab put the focus on a button, so Tab
    // walks on along the ring.
    if (lastKey == 13 || lastKey == 9)
        setKeyboardFocus(&button);
    if (id == 1)
        storedName = value;
    else if (id == 2)
        storedPassword = realPassword = value;
}

void applyChoice(int32_t list, int32_t item)
{
    chosenList = list;
    chosenItem = item;
}

int32_t followUp(int32_t kind) { return kind == 1 ? 22 : 0; }

bool nameFilter(int32_t id, unsigned char key, const std::string &)
{
    return id != 1 || key != '!';
}

TemplateControl controls[] = {
    {&button, 0, 0, 20, 0, "Release Button to do it", "Click to do it", 20},
    {&opener, 21, 0, 0, 0, "Release Button to choose", "Click to choose", 0},
    {&nameField, 0, 0, 22, 0, "Release Button to name", "Click to name", 0},
    {&passwordField, 0, 0, 23, 0, "Release Button to lock", "Click to lock", 0},
};

const ScreenInput screen = {
    .controls = controls,
    .controlCount = 4,
    .pending = &pending,
    .deferred = &deferred,
    .phase = &phase,
    .runningPhase = 1,
    .frameCounter = &frameCounter,
    .keyHelp = {"Click something", nullptr, nullptr},
    .returnHelp = {"Return does nothing here", nullptr, nullptr},
    .alertFollowUp = followUp,
    .acceptKey = nameFilter,
    .applyPopupChoice = applyChoice,
    .finishEdit = finishEdit,
    .action = ownAction,
};

// GLUT passes y from the top of the window.
int gy(int yUp) { return windowHeight - yUp; }

class InputTemplate : public ::testing::Test {
protected:
    void SetUp() override
    {
        windowHeight = 765;
        resetTextEditing();
        resetMessageState();
        setKeyboardFocus(nullptr);
        closePopupList();
        popupChosenItem = popupNoChoice;
        pending = deferred = 0;
        phase = 1;
        storedName = storedPassword = "";
        realPassword = "secret";
        chosenList = chosenItem = finishedField = -1;
        actionsRun = 0;
        // A ring: the last control is created first's predecessor.
        initControl(&button,
                    {.kind = kindPushButton, .left = 100, .right = 160, .bottom = 100, .top = 118, .value = 1,
                     .caption = "Do", .previous = &passwordField});
        initControl(&opener,
                    {.kind = kindPopupOpener, .left = 200, .right = 272, .bottom = 300, .top = 318, .value = 1,
                     .caption = "high", .previous = &button});
        initControl(&nameField,
                    {.id = 1, .kind = kindTextField, .left = 100, .right = 400, .bottom = 400, .top = 418, .value = 1,
                     .caption = "Ann", .previous = &opener});
        initControl(&passwordField,
                    {.id = 2, .kind = kindPasswordField, .left = 100, .right = 400, .bottom = 500, .top = 518,
                     .value = 1, .caption = "******", .previous = &nameField});
        nameField.editLimit = maxNameLength;
        passwordField.editLimit = maxNameLength;
        passwordField.plainValue = &realPassword;
    }
    void frame()
    {
        if (templateHasAction(screen))
            templateHandleAction(screen);
    }
    void click(int x, int yUp, int buttonNo = 0)
    {
        templateMouse(screen, buttonNo, 0, x, gy(yUp));
        templateMouse(screen, buttonNo, 1, x, gy(yUp));
    }
    void type(const std::string &keys)
    {
        for (char c : keys)
            templateKeyboard(screen, static_cast<unsigned char>(c), 0, 0);
    }
};

TEST_F(InputTemplate, HoverAndPressHintsFollowTheMouse)
{
    templatePassiveMotion(screen, 130, gy(110));
    EXPECT_EQ(hintLine, "Click to do it");
    EXPECT_EQ(button.state, stateHover);
    templateMotion(screen, 130, gy(110)); // a button held over it
    EXPECT_EQ(hintLine, "Release Button to do it");
    templatePassiveMotion(screen, 600, gy(600)); // over nothing
    EXPECT_EQ(hintLine, "");
    EXPECT_EQ(button.state, stateIdle);
    // Edges are outside: x == left misses.
    templatePassiveMotion(screen, 100, gy(110));
    EXPECT_EQ(hintLine, "");
}

TEST_F(InputTemplate, ReleasePostsTheActionEvenAfterLaterMotion)
{
    templateMouse(screen, 0, 0, 130, gy(110));
    EXPECT_EQ(pending, 0); // a push button acts on the release
    templateMouse(screen, 0, 1, 130, gy(110));
    EXPECT_EQ(pending, 20);
    EXPECT_EQ(deferred, 20);
    templatePassiveMotion(screen, 600, gy(600)); // motion before the next frame
    templatePassiveMotion(screen, 130, gy(110));
    EXPECT_EQ(pending, 0);
    frame();
    EXPECT_EQ(actionsRun, 1);
    EXPECT_EQ(pending, 0);
    EXPECT_EQ(deferred, 0);
}

TEST_F(InputTemplate, MiddleButtonIsAHitThatChangesNothing)
{
    templatePassiveMotion(screen, 130, gy(110));
    templateMouse(screen, 1, 0, 130, gy(110));
    templateMouse(screen, 1, 1, 130, gy(110));
    EXPECT_EQ(pending, 0); // the last recorded (hover) code
    EXPECT_EQ(deferred, 0);
    EXPECT_EQ(button.state, stateHover);
}

TEST_F(InputTemplate, PopupOpenedChosenAndClosed)
{
    templateMouse(screen, 0, 0, 230, gy(310)); // openers act on the press
    EXPECT_EQ(pending, 21);
    frame();
    ASSERT_TRUE(popupOpen);
    EXPECT_EQ(opener.value, 2);
    EXPECT_EQ(popupItemCount, 3);
    EXPECT_EQ(popupEntries[2].bottom, 300 - 66);
    templateMouse(screen, 0, 1, 230, gy(310)); // the release on the anchor does nothing
    frame();
    EXPECT_TRUE(popupOpen);

    // Hovering highlights an entry, a right release on it keeps the list open.
    templatePassiveMotion(screen, 230, gy(300 - 22 + 5));
    EXPECT_EQ(popupEntries[0].state, stateHover);
    EXPECT_EQ(popupChosenItem, 0);
    click(230, 300 - 44 + 5, 2);
    EXPECT_EQ(pending, 0);
    frame();
    EXPECT_TRUE(popupOpen);

    click(230, 300 - 44 + 5); // entry 1
    EXPECT_EQ(pending, actionPopupChosen);
    frame();
    EXPECT_EQ(chosenList, 7);
    EXPECT_EQ(chosenItem, 1);
    EXPECT_FALSE(popupOpen);
    EXPECT_EQ(openPopupId, 0);

    // Opened again and closed by a click anywhere outside; nothing is chosen.
    templateMouse(screen, 0, 0, 230, gy(310));
    frame();
    ASSERT_TRUE(popupOpen);
    chosenItem = -1;
    click(700, 700);
    EXPECT_EQ(pending, actionClickOutsidePopup);
    frame();
    EXPECT_FALSE(popupOpen);
    EXPECT_EQ(chosenItem, -1);

    // Pressing the opener again closes the list (code 2).
    templateMouse(screen, 0, 0, 230, gy(310));
    frame();
    templateMouse(screen, 0, 1, 230, gy(310));
    templateMouse(screen, 0, 0, 230, gy(310));
    EXPECT_EQ(pending, actionPopupReopened);
    frame();
    EXPECT_FALSE(popupOpen);
}

TEST_F(InputTemplate, AQuickClickOnAnOpenerOpensItsList)
{
    // Press, a jiggle with the button held and the release, all before the
    // next frame (a touchpad tap).
    templateMouse(screen, 0, 0, 230, gy(310));
    templateMotion(screen, 231, gy(310));
    templateMouse(screen, 0, 1, 231, gy(310));
    frame();
    EXPECT_TRUE(popupOpen);
    click(230, 310); // and a quick click on it again closes the list
    frame();
    EXPECT_FALSE(popupOpen);

    // A release with no action of its own does not cancel a waiting one.
    templateMouse(screen, 0, 1, 130, gy(110)); // the button's release: 20
    click(230, 310, 2);                        // a right click on the opener
    frame();
    EXPECT_EQ(actionsRun, 2);
    EXPECT_FALSE(popupOpen);
}

TEST_F(InputTemplate, ThePopupEntryReleasedOnIsAppliedWhateverTheMouseDoesNext)
{
    for (int offList : {0, 1}) {
        chosenItem = -1;
        templateMouse(screen, 0, 0, 230, gy(310));
        frame();
        ASSERT_TRUE(popupOpen);
        click(230, 300 - 22 + 5); // entry 0
        templatePassiveMotion(screen, 230, gy(300 - 66 + 5)); // over entry 2 before the frame
        if (offList)
            templatePassiveMotion(screen, 700, gy(700));
        frame();
        EXPECT_EQ(chosenItem, 0) << offList;
        EXPECT_FALSE(popupOpen);
    }
}

TEST_F(InputTemplate, EditingTypedAndEndedByReturn)
{
    click(100 + 4 + 9 * 1, 410); // between A and n
    EXPECT_EQ(pending, 22);
    frame();
    ASSERT_TRUE(textEditActive);
    EXPECT_EQ(pending, actionEditing);
    EXPECT_EQ(editCursor, 1);
    EXPECT_EQ(keyboardFocus, &nameField);
    EXPECT_EQ(promptLine, "Type a name");
    type("x!y"); // the screen's filter drops '!'
    EXPECT_EQ(nameField.caption, "Axynn");
    frame();
    EXPECT_EQ(pending, actionEditing);
    // Passive motion while editing shows no hint; a hover elsewhere keeps editing.
    templatePassiveMotion(screen, 130, gy(110));
    EXPECT_EQ(hintLine, "");
    type("\r");
    frame();
    EXPECT_EQ(storedName, "Axynn");
    EXPECT_FALSE(textEditActive);
    EXPECT_EQ(pending, 0);
    EXPECT_EQ(promptLine, "");
}

TEST_F(InputTemplate, EditingEndedByAClickOrADragOutside)
{
    for (bool drag : {false, true}) {
        SCOPED_TRACE(drag ? "drag" : "click");
        click(300, 410);
        frame();
        EXPECT_EQ(editCursor, int32_t(nameField.caption.size())); // beyond the text: at its end
        type("e");
        if (drag)
            templateMotion(screen, 500, gy(600));
        else
            click(500, 600);
        EXPECT_EQ(pending, actionClickOutsideField);
        frame(); // closes the line
        EXPECT_EQ(pending, actionEditing);
        frame(); // stores the value
        EXPECT_EQ(storedName, drag ? "Annee" : "Anne");
        EXPECT_FALSE(textEditActive);
        EXPECT_EQ(nameField.state, stateIdle);
    }
}

TEST_F(InputTemplate, EscapeRestoresAndAClickInTheSameFrameIsIgnored)
{
    click(300, 410);
    frame();
    type("zz");
    type("\x1b");
    EXPECT_EQ(nameField.caption, "Ann");
    EXPECT_EQ(keyboardFocus, nullptr);
    click(130, 110); // same frame: editing marked active, no field
    EXPECT_EQ(pending, actionEditing);
    frame();
    EXPECT_EQ(finishedField, 0); // nothing to store
    EXPECT_EQ(storedName, "");
    EXPECT_FALSE(textEditActive);
}

TEST_F(InputTemplate, PasswordStartsFromTheRealValueAndShowsAsterisks)
{
    click(300, 510);
    frame();
    EXPECT_EQ(editedText(), "secret");
    EXPECT_EQ(passwordField.caption, "******");
    type("\x7f\b"); // Delete at the end does nothing, Backspace removes 't'
    EXPECT_EQ(passwordField.caption, "*****");
    type("\x1b");
    EXPECT_EQ(passwordField.caption, "******"); // never the plain text
    frame();
    EXPECT_EQ(storedPassword, "");

    click(300, 510);
    frame();
    type("!\r");
    frame();
    EXPECT_EQ(storedPassword, "secret!");
}

TEST_F(InputTemplate, TabWalksTheRingOfFields)
{
    click(300, 410);
    frame();
    type("\t");
    frame();
    EXPECT_EQ(storedName, "Ann");
    ASSERT_TRUE(textEditActive);
    EXPECT_EQ(editedControl, &passwordField);
    EXPECT_EQ(editCursor, 6);
    EXPECT_EQ(editedText(), "secret"); // the real value, not the asterisks
    type("\t"); // round the ring back to the name field
    frame();
    ASSERT_TRUE(textEditActive);
    EXPECT_EQ(editedControl, &nameField);
    type("\r");
    frame();
    EXPECT_FALSE(textEditActive);
}

TEST_F(InputTemplate, AlertsBlockInputUntilDismissedAndRunTheirFollowUp)
{
    showAlert("Please add a user first.", "", "");
    alertKind = 1;
    templateMouse(screen, 0, 0, 130, gy(110)); // a press does nothing
    EXPECT_EQ(button.state, stateIdle);
    type("q"); // other keys are ignored
    EXPECT_TRUE(alertShown());
    templatePassiveMotion(screen, 130, gy(110)); // hints still work
    EXPECT_EQ(hintLine, "Click to do it");
    templateMouse(screen, 2, 1, 700, gy(700)); // any release dismisses
    EXPECT_FALSE(alertShown());
    EXPECT_EQ(hintLine, "");
    EXPECT_EQ(pending, 22);
    templatePassiveMotion(screen, 700, gy(700)); // motion cannot lose the follow-up
    frame();
    EXPECT_TRUE(textEditActive); // the follow-up reopened the field

    type("\r");
    frame();
    showAlert("Other", "", "");
    alertKind = 0;
    type("\x1b"); // Escape dismisses too
    EXPECT_FALSE(alertShown());
    EXPECT_EQ(pending, 0);
}

TEST_F(InputTemplate, KeysWithoutAFieldUseFocusOrShowHelp)
{
    type("q");
    EXPECT_EQ(alertLines[0], "Click something");
    EXPECT_EQ(alertKind, 0);
    type("\r"); // dismisses
    EXPECT_FALSE(alertShown());
    type("\r"); // no focus: the Return help
    EXPECT_EQ(alertLines[0], "Return does nothing here");
    type("\r");
    setKeyboardFocus(&button);
    type("\r");
    EXPECT_EQ(pending, 20);
    EXPECT_FALSE(alertShown());
    templatePassiveMotion(screen, 230, gy(310)); // the pointer moves on before the frame
    frame();
    EXPECT_EQ(actionsRun, 1);
}

TEST_F(InputTemplate, HandlersWaitForTheRunningPhase)
{
    phase = 0;
    click(130, 110);
    templatePassiveMotion(screen, 130, gy(110));
    EXPECT_EQ(pending, 0);
    EXPECT_EQ(hintLine, "");
    showAlert("", "a message", "");
    type("x"); // keys still clear the message lines
    EXPECT_EQ(alertLines[1], "");
}

TEST_F(InputTemplate, OverlappingControlsGoToTheFirstInTestOrder)
{
    initControl(&opener,
                {.kind = kindPopupOpener, .left = 100, .right = 160, .bottom = 100, .top = 118, .value = 1,
                 .previous = &button});
    click(130, 110);
    EXPECT_EQ(pending, 20);
    EXPECT_EQ(opener.state, stateIdle);
}

TEST(Controls, RingsAndResetsTerminate)
{
    ControlRecord a, b, c;
    initControl(&a, {.kind = kindPushButton, .left = 0, .right = 1, .bottom = 0, .top = 1, .value = 0, .previous = &c});
    initControl(&b, {.kind = kindPushButton, .left = 0, .right = 1, .bottom = 0, .top = 1, .value = 0, .previous = &a});
    initControl(&c, {.kind = kindPushButton, .left = 0, .right = 1, .bottom = 0, .top = 1, .value = 0, .previous = &b});
    EXPECT_EQ(a.next, &b);
    EXPECT_EQ(b.next, &c);
    EXPECT_EQ(c.next, &a);
    int visited = walkChain(&b, [](ControlRecord *r) { r->state = 0; });
    EXPECT_EQ(visited, 3);
    // A nil predecessor starts a new chain.
    initControl(&a, {.kind = kindPushButton, .left = 0, .right = 1, .bottom = 0, .top = 1, .value = 0});
    EXPECT_EQ(a.next, nullptr);
    // A field alone in a ring has no next field.
    ControlRecord f;
    initControl(&f,
                {.id = 1, .kind = kindTextField, .left = 0, .right = 1, .bottom = 0, .top = 1, .value = 0,
                 .previous = &f});
    EXPECT_EQ(nextFieldInChain(&f), nullptr);
}

TEST(Controls, PopupEntriesLieOneRowApart)
{
    initPopupEntry(15, 0, 10, 50, 600, 618, 0, 1, "last");
    EXPECT_EQ(popupEntries[15].bottom, 600 - 352);
    EXPECT_EQ(popupEntries[15].top, 618 - 352);
    ControlRecord op;
    initControl(&op, {.kind = kindPopupOpener, .left = 0, .right = 10, .bottom = 600, .top = 618, .value = 1});
    std::string many[20];
    openPopupList(&op, 1, many, 20);
    EXPECT_EQ(popupItemCount, maxPopupItems);
    closePopupList();
}

} // namespace
