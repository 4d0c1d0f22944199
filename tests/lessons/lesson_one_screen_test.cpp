#include <vector>

#include "app/screen_table.h"
#include "common/generated_data.h"
#include "frame/message_panel.h"
#include "base/shared.h"
#include "frame/texture_pack.h"
#include "lessons/lesson_fixture.h"
#include "lessons/lesson_one_screen.h"

namespace {

struct Upload {
    int32_t width, height;
    std::vector<uint8_t> rgba;
};
std::vector<Upload> uploads;

GLuint recordUpload(int32_t w, int32_t h, int32_t, const uint8_t *rgba)
{
    uploads.push_back({w, h, std::vector<uint8_t>(rgba, rgba + static_cast<size_t>(w) * h * 4)});
    return static_cast<GLuint>(uploads.size());
}

} // namespace

TEST(LessonOneScreen, SetUpLoadsImages36OnceAndTheScreenStaysInState0)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    const std::string data = generatedData();
    const ScreenHandlers *screen = screenHandlersFor(lessonOneScreenId);
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->create, &setUpLessonOneScreen);

    userDataDirAlt = privateFolder("nopack");
    EXPECT_EXIT(setUpLessonOneScreen(), testing::ExitedWithCode(4253 % 250), "stopNumber=4253 ");

    userDataDirAlt = data;
    uploads.clear();
    setTextureUploader(recordUpload);
    setUpLessonOneScreen();
    ASSERT_EQ(uploads.size(), 109u);
    for (size_t k = 0; k < 108; ++k) {
        EXPECT_EQ(uploads[k].width, 128);
        EXPECT_EQ(uploads[k].height, 128);
    }
    EXPECT_EQ(uploads[108].width, 512);
    EXPECT_EQ(noteKeyPictures[0], 1u);
    EXPECT_EQ(noteKeyPictures[107], 108u);
    EXPECT_EQ(optionsBackdrop, 109u);
    EXPECT_NE(uploads[0].rgba, uploads[49].rgba); // C2 at rest and chosen
    EXPECT_NE(uploads[0].rgba, uploads[1].rgba);  // C2 and C#2 are told apart
    EXPECT_TRUE(images36Loaded());

    setUpLessonOneScreen(); // a lesson start: nothing is loaded again
    setTextureUploader(nullptr);
    EXPECT_EQ(uploads.size(), 109u);
    EXPECT_EQ(lessonOneState.phase, 0);
    EXPECT_EQ(lessonOneState.pauseControl.caption, "Pause");
    EXPECT_EQ(lessonOneState.stopControl.caption, "Stop");

    // The buttons are hit-tested, but no action ever runs.
    currentScreen = lessonOneScreenId;
    screen->passiveMotion(660, windowHeight - 50);
    EXPECT_EQ(hintLine, "Click to finish exercise");
    screen->passiveMotion(740, windowHeight - 50);
    EXPECT_EQ(hintLine, "Click to continue exercise");
    screen->mouse(0, 0, 660, windowHeight - 50);
    screen->mouse(0, 1, 660, windowHeight - 50);
    EXPECT_EQ(lessonOneState.pendingAction, 14);
    screen->display();
    EXPECT_EQ(lessonOneState.pendingAction, 14);
    EXPECT_EQ(currentScreen, lessonOneScreenId);
    EXPECT_EQ(lessonOneState.phase, 0);
}
