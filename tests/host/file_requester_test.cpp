// FileRequest with fake choosers placed first on PATH, and the filter list.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/file_requester_internal.h"
#include "host/graphics_backend.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "support/run_program.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

TEST(FilterList, PairsOfDescriptionAndPattern) {
    const auto pairs = vtx::FilterPairs("Pictures|*.png;*.jpg|All files|*.*");
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].description, "Pictures");
    EXPECT_EQ(pairs[0].pattern, "*.png;*.jpg");
    EXPECT_EQ(pairs[1].description, "All files");
    EXPECT_EQ(pairs[1].pattern, "*.*");
}

TEST(FilterList, AnEmptyFieldOrALonelyDescriptionEndsTheList) {
    EXPECT_EQ(vtx::FilterPairs("Text|*.txt|").size(), 1u);
    EXPECT_EQ(vtx::FilterPairs("Text|*.txt|Odd").size(), 1u);
    EXPECT_EQ(vtx::FilterPairs("Text||Pictures|*.png").size(), 0u);
    EXPECT_EQ(vtx::FilterPairs("|*.txt").size(), 0u);
    EXPECT_EQ(vtx::FilterPairs("").size(), 0u);
    EXPECT_EQ(vtx::FilterPairs("||||").size(), 0u);
    EXPECT_EQ(vtx::FilterPairs(nullptr).size(), 0u);
}

TEST(FilterList, LongFiltersAreCutAtAPairBoundary) {
    // Pairs of 100 characters each with their bars: "D...|P...|".
    const std::string pair = std::string(49, 'd') + "|" + std::string(49, 'p') + "|";
    std::string filter;
    for (int i = 0; i < 11; ++i) filter += pair;  // 1100 characters
    filter.pop_back();                           // 1099: the last bar goes
    const auto pairs = vtx::FilterPairs(filter.c_str());
    EXPECT_EQ(pairs.size(), 10u);  // 10 pairs take 999 characters; the 11th would end at 1099
    // Exactly 1022 characters fit whole.
    const std::string fits = std::string(500, 'a') + "|" + std::string(521, 'b');
    ASSERT_EQ(fits.size(), vtx::kMaxFilterLength);
    EXPECT_EQ(vtx::FilterPairs(fits.c_str()).size(), 1u);
    EXPECT_EQ(vtx::FilterPairs((fits + "c").c_str()).size(), 0u);
    EXPECT_EQ(vtx::FilterPairs(("Text|*.txt|" + fits).c_str()).size(), 1u);
    EXPECT_EQ(vtx::FilterPairs(std::string(1000000, '|').c_str()).size(), 0u);
}

TEST(FilterList, PatternsInTheChoosersForm) {
    EXPECT_EQ(vtx::ChooserPatterns("*.png;*.jpg"), "*.png *.jpg");
    EXPECT_EQ(vtx::ChooserPatterns(" *.png ; *.JPG ;"), "*.png *.JPG");
    EXPECT_EQ(vtx::ChooserPatterns("*.*"), "*");
    EXPECT_EQ(vtx::ChooserPatterns(";;"), "");
}

TEST(ChooserOutput, ThePathOrNothing) {
    EXPECT_EQ(vtx::ChosenPath("/data/a.txt\n", 0), "/data/a.txt");
    EXPECT_EQ(vtx::ChosenPath("/data/a.txt\r\nmore\n", 0), "/data/a.txt");
    EXPECT_EQ(vtx::ChosenPath("/data/a.txt\n", 1), "");
    EXPECT_EQ(vtx::ChosenPath("", 0), "");
    const std::string longest = "/" + std::string(vtx::kMaxChosenPath - 1, 'x');
    EXPECT_EQ(vtx::ChosenPath(longest + "\n", 0), longest);
    EXPECT_EQ(vtx::ChosenPath(longest + "y\n", 0), "");  // does not fit the result buffer
}

TEST(ChooserCommands, ZenityAndKdialogSyntax) {
    const auto filters = vtx::FilterPairs("Pictures|*.png;*.jpg|All files|*.*");
    EXPECT_EQ(vtx::ZenityCommand(true, "/home/u", filters),
              (std::vector<std::string>{"zenity", "--file-selection", "--title=Open", "--filename=/home/u/",
                                        "--file-filter=Pictures | *.png *.jpg", "--file-filter=All files | *"}));
    EXPECT_EQ(vtx::ZenityCommand(false, "/", {}),
              (std::vector<std::string>{"zenity", "--file-selection", "--title=Save As", "--save", "--filename=/"}));
    EXPECT_EQ(vtx::KdialogCommand(true, "/home/u", filters),
              (std::vector<std::string>{"kdialog", "--title", "Open", "--getopenfilename", "/home/u",
                                        "*.png *.jpg|Pictures\n*|All files"}));
    EXPECT_EQ(vtx::KdialogCommand(false, "/tmp", {}),
              (std::vector<std::string>{"kdialog", "--title", "Save As", "--getsavefilename", "/tmp"}));
}

// The engine with a window, a folder of fake choosers as the only PATH and
// dialogs allowed.
class FileRequester : public ::testing::Test {
protected:
    void SetUp() override {
        ApplyProjectSettings();
        InitEngine(nullptr, 10, ProjectSettings.title);
        ASSERT_TRUE(EngineWindowCreated());
        savedPath_ = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
        unsetenv("VTX_NO_DIALOGS");
        fs::create_directories(bin());
        fs::create_directories(work());
        setenv("PATH", bin().c_str(), 1);
        setenv("VTX_FAKE_CHOOSER", scratch_.path().c_str(), 1);
        fs::current_path(work());
    }
    void TearDown() override {
        setenv("PATH", savedPath_.c_str(), 1);
        setenv("VTX_NO_DIALOGS", "1", 1);
        unsetenv("VTX_FAKE_CHOOSER");
    }
    // A fake chooser: records its arguments, its folder and whether the
    // program's window was visible, prints answer and ends with status.
    void FakeChooser(const std::string& name, const std::string& answer, int status) const {
        std::ofstream(scratch_.path() / "answer") << answer;
        const fs::path script = bin() / name;
        std::ofstream(script) << "#!/bin/sh\n"
                                 "log=\"$VTX_FAKE_CHOOSER\"\n"
                                 "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$log/arguments\"\n"
                                 "if /usr/bin/xdotool search --onlyvisible --name '^ravlo$' >/dev/null 2>&1; then\n"
                                 "  echo visible > \"$log/window\"\n"
                                 "else\n"
                                 "  echo hidden > \"$log/window\"\n"
                                 "fi\n"
                                 "/bin/cat \"$log/answer\"\n"
                                 "exit " +
                                     std::to_string(status) + "\n";
        fs::permissions(script, fs::perms::owner_all);
    }
    std::vector<std::string> Arguments() const {
        return Lines(ReadWholeFile((scratch_.path() / "arguments").string()));
    }
    std::string WindowDuringChooser() const { return ReadWholeFile((scratch_.path() / "window").string()); }
    bool WindowShown() const {
        return (SDL_GetWindowFlags(vtx::GraphicsBackEnd->window) & SDL_WINDOW_SHOWN) != 0;
    }
    fs::path bin() const { return scratch_.path() / "bin"; }
    fs::path work() const { return scratch_.path() / "work"; }
    ScratchFolder scratch_{"vtx-file-requester"};
    std::string savedPath_;
};

TEST_F(FileRequester, ChosenPathComesBackWithForwardSlashes) {
    FakeChooser("zenity", "C:\\data\\a.txt\n", 0);
    EXPECT_EQ(FileRequest(1, RtString("Pictures|*.png;*.jpg|All files|*.*")), "C:/data/a.txt");
    EXPECT_EQ(Arguments(), (std::vector<std::string>{"--file-selection", "--title=Open",
                                                     "--filename=" + work().string() + "/",
                                                     "--file-filter=Pictures | *.png *.jpg",
                                                     "--file-filter=All files | *"}));
    EXPECT_EQ(WindowDuringChooser(), "hidden\n");
    EXPECT_TRUE(WindowShown());
    EXPECT_FALSE(vtx::GraphicsBackEnd->fullscreen);
    EXPECT_EQ(fs::current_path(), work());
}

TEST_F(FileRequester, CancelGivesNoFile) {
    FakeChooser("zenity", "", 1);
    EXPECT_EQ(FileRequest(1, RtString("Text|*.txt")), "NO_FILE");
    EXPECT_TRUE(WindowShown());
    FakeChooser("zenity", "", 0);  // accepted, but nothing chosen
    EXPECT_EQ(FileRequest(1, RtString("")), "NO_FILE");
    EXPECT_EQ(Arguments().size(), 3u);  // no filter at all
}

TEST_F(FileRequester, SaveChooserWhenTheOpenFlagIsZero) {
    FakeChooser("zenity", "/home/u/new file.txt\n", 0);
    EXPECT_EQ(FileRequest(0, RtString("Text|*.txt")), "/home/u/new file.txt");
    const auto arguments = Arguments();
    ASSERT_GE(arguments.size(), 3u);
    EXPECT_EQ(arguments[1], "--title=Save As");
    EXPECT_EQ(arguments[2], "--save");
}

TEST_F(FileRequester, KdialogWhenThereIsNoZenity) {
    FakeChooser("kdialog", "/srv/x.png\n", 0);
    EXPECT_EQ(FileRequest(1, RtString("Pictures|*.png|Text|*.txt")), "/srv/x.png");
    EXPECT_EQ(Arguments(), (std::vector<std::string>{"--title", "Open", "--getopenfilename", work().string(),
                                                     "*.png|Pictures", "*.txt|Text"}));
    EXPECT_EQ(WindowDuringChooser(), "hidden\n");
}

TEST_F(FileRequester, NoChooserSaysWhyOnStandardError) {
    testing::internal::CaptureStderr();
    const RtString result = FileRequest(1, RtString("Text|*.txt"));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, "NO_FILE");
    EXPECT_EQ(Lines(said).size(), 1u);
    EXPECT_NE(said.find("no file chooser"), std::string::npos) << said;
    EXPECT_TRUE(WindowShown());
}

TEST_F(FileRequester, NoDialogsSwitchAnswersAtOnce) {
    FakeChooser("zenity", "/should/not/run\n", 0);
    setenv("VTX_NO_DIALOGS", "1", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(FileRequest(1, RtString("Text|*.txt")), "NO_FILE");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(fs::exists(scratch_.path() / "arguments"));
}

TEST_F(FileRequester, FullscreenModeIsRestored) {
    SetScreenMode(1024, 768, 1);  // the test display's own mode
    ASSERT_TRUE(vtx::GraphicsBackEnd->fullscreen);
    FakeChooser("zenity", "/a.txt\n", 0);
    EXPECT_EQ(FileRequest(1, RtString("Text|*.txt")), "/a.txt");
    EXPECT_EQ(WindowDuringChooser(), "hidden\n");
    EXPECT_TRUE(vtx::GraphicsBackEnd->fullscreen);
    EXPECT_EQ(vtx::GraphicsBackEnd->width, 1024);
    EXPECT_EQ(vtx::GraphicsBackEnd->height, 768);
    EXPECT_TRUE(WindowShown());
}

}  // namespace
