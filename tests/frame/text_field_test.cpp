// The line editor as a table of keys and expected buffers, captions and cursors.
#include <gtest/gtest.h>

#include "frame/text_field.h"

namespace {

struct KeyCase {
    const char *name;
    int32_t kind;
    std::string start;  // value when editing starts
    int32_t cursor;     // cursor placed before the keys (-1: at the end)
    std::string keys;   // '\x01' = Left arrow, '\x02' = Right arrow
    std::string buffer; // expected editedText() afterwards
    std::string caption;
    int32_t expectedCursor;
};

void feed(ControlRecord &field, const std::string &keys)
{
    for (char k : keys) {
        if (k == '\x01')
            field.caption = textFieldArrowKey(100);
        else if (k == '\x02')
            field.caption = textFieldArrowKey(102);
        else
            field.caption = textFieldKey(static_cast<unsigned char>(k));
    }
    if (!editFinished)
        commitTextField(&field, 0); // the frame after the keys
}

TEST(TextField, KeysTable)
{
    const std::string full127(127, 'a');
    const std::string secret = "pw";
    const KeyCase cases[] = {
        {"insert in the middle", kindTextField, "abc", 1, "x", "axbc", "axbc", 2},
        {"backspace at 0", kindTextField, "abc", 0, "\b", "abc", "abc", 0},
        {"delete at the end", kindTextField, "abc", 3, "\x7f", "abc", "abc", 3},
        {"backspace inside", kindTextField, "abc", 2, "\b", "ac", "ac", 1},
        {"delete inside", kindTextField, "abc", 1, "\x7f", "ac", "ac", 1},
        {"arrows stop at the ends", kindTextField, "ab", 0, "\x01\x02\x02\x02", "ab", "ab", 2},
        {"127 characters: typing at the end", kindTextField, full127, -1, "z", full127, full127, 127},
        {"127 characters: typing inside", kindTextField, full127, 5, "z", full127, full127, 5},
        {"longer values load 127", kindTextField, std::string(200, 'b'), -1, "", std::string(127, 'b'),
         std::string(127, 'b'), 127},
        {"return keeps the text", kindTextField, "ab", -1, "c\r", "abc", "abc", 3},
        {"password shows asterisks", kindPasswordField, secret, -1, "x\x01\x01y", "pywx", "****", 2},
    };
    for (const KeyCase &c : cases) {
        SCOPED_TRACE(c.name);
        resetTextEditing();
        std::string plain = c.start;
        ControlRecord field;
        initControl(&field,
                    {.id = 1, .kind = c.kind, .left = 130, .right = 400, .bottom = 300, .top = 318, .value = 1,
                     .caption = c.kind == kindPasswordField ? std::string(c.start.size(), '*') : c.start});
        field.plainValue = &plain;
        startFieldEditAtEnd(&field, "");
        if (c.cursor >= 0)
            editCursor = c.cursor;
        feed(field, c.keys);
        EXPECT_EQ(editedText(), c.buffer);
        EXPECT_EQ(field.caption, c.caption);
        EXPECT_EQ(editCursor, c.expectedCursor);
    }
}

TEST(TextField, NameFieldsTakeFortyCharacters)
{
    resetTextEditing();
    ControlRecord field;
    initControl(&field,
                {.id = 1, .kind = kindTextField, .left = 130, .right = 400, .bottom = 300, .top = 318, .value = 1});
    field.editLimit = maxNameLength;
    startFieldEditAtEnd(&field, "");
    feed(field, std::string(50, 'n'));
    EXPECT_EQ(editLength, 40);
    EXPECT_EQ(field.caption, std::string(40, 'n'));
}

TEST(TextField, EndingKeysAndEscape)
{
    for (unsigned char key : {0, 10, 13, 9}) {
        SCOPED_TRACE(int(key));
        resetTextEditing();
        ControlRecord field;
        initControl(&field,
                    {.id = 1, .kind = kindTextField, .left = 130, .right = 400, .bottom = 300, .top = 318, .value = 1,
                     .caption = "abc"});
        startFieldEditAtEnd(&field, "");
        field.caption = textFieldKey('d');
        field.caption = textFieldKey(key);
        EXPECT_TRUE(editFinished);
        EXPECT_EQ(field.state, stateIdle);
        EXPECT_EQ(editedText(), "abcd");
        EXPECT_EQ(activeFieldId, 1);
    }
    resetTextEditing();
    ControlRecord field;
    initControl(&field,
                {.id = 1, .kind = kindTextField, .left = 130, .right = 400, .bottom = 300, .top = 318, .value = 1,
                 .caption = "abc"});
    startFieldEditAtEnd(&field, "");
    field.caption = textFieldKey('d');
    EXPECT_EQ(textFieldKey(27), "abc");
    EXPECT_EQ(field.caption, "abc");
    EXPECT_EQ(activeFieldId, 0);
    EXPECT_EQ(keyboardFocus, nullptr);
}

TEST(TextField, CaretBlinksAtTheCursorGap)
{
    resetTextEditing();
    ControlRecord field;
    initControl(&field,
                {.id = 1, .kind = kindTextField, .left = 130, .right = 400, .bottom = 300, .top = 318, .value = 1,
                 .caption = "abcdef"});
    startFieldEditAtEnd(&field, "");
    editCursor = 3;
    for (int frame = 0; frame < 8; ++frame) {
        commitTextField(&field, frame);
        EXPECT_EQ(caretRect.x, frame >= 4 ? 161 : 0) << frame;
    }
    EXPECT_EQ(caretRect.bottom, 300);
    EXPECT_EQ(caretRect.top, 318);
}

TEST(TextField, ClickPlacesTheCursorWithinTheText)
{
    resetTextEditing();
    ControlRecord field;
    initControl(&field,
                {.id = 1, .kind = kindTextField, .left = 130, .right = 400, .bottom = 300, .top = 318, .value = 1,
                 .caption = "abc"});
    startFieldEditAtEnd(&field, "");
    EXPECT_EQ(cursorForClick(0), 0);      // left of the first character
    EXPECT_EQ(cursorForClick(4 + 9), 1);
    EXPECT_EQ(cursorForClick(4 + 9 + 4), 1); // 13/9 rounds to 1
    EXPECT_EQ(cursorForClick(200), 3);    // beyond the text
}

TEST(TextField, TabGoesToTheFocusedFieldElseAlongTheChain)
{
    ControlRecord first, button, second;
    initControl(&first,
                {.id = 1, .kind = kindTextField, .left = 0, .right = 100, .bottom = 0, .top = 18, .value = 1,
                 .caption = "one"});
    initControl(&button,
                {.kind = kindPushButton, .left = 0, .right = 100, .bottom = 30, .top = 48, .value = 1,
                 .previous = &first});
    initControl(&second,
                {.id = 2, .kind = kindTextField, .left = 0, .right = 100, .bottom = 60, .top = 78, .value = 1,
                 .caption = "two", .previous = &button});

    // The focus on the field just edited: Tab edits it again.
    resetTextEditing();
    startFieldEditAtEnd(&first, "");
    textFieldKey(9);
    EXPECT_TRUE(endTextEdit());
    EXPECT_EQ(editedControl, &first);

    // Focus elsewhere: the next field along the chain, cursor at the end.
    resetTextEditing();
    startFieldEditAtEnd(&first, "");
    setKeyboardFocus(&button);
    textFieldKey(9);
    EXPECT_TRUE(endTextEdit());
    EXPECT_EQ(editedControl, &second);
    EXPECT_EQ(editCursor, 3);
    EXPECT_EQ(second.state, stateEditing);

    // The last field of a nil-ended chain: Tab ends the editing.
    setKeyboardFocus(&button);
    textFieldKey(9);
    EXPECT_FALSE(endTextEdit());
    EXPECT_FALSE(textEditActive);
    EXPECT_EQ(editLength, 0);

    // Return never goes on.
    startFieldEditAtEnd(&first, "");
    setKeyboardFocus(&button);
    textFieldKey(13);
    EXPECT_FALSE(endTextEdit());
    setKeyboardFocus(nullptr);
}

} // namespace
