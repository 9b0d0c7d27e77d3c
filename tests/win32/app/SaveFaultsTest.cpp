// Every step of a save failing in turn on the real file system: the file on
// disk stays as it was, the message names it, the editor keeps the text and
// its modified flag, and no temporary file is left behind.
#include "FilesWin32.h"
#include "MainWindowFixture.h"
#include "SourceFiles.h"

namespace {

struct FaultRow {
    const char* name;
    SaveStep step;
    unsigned index;  // which write, for writes
    unsigned long fault;
};

const FaultRow kRows[] = {
    {"create the temporary file", SaveStep::Create, 1, ERROR_ACCESS_DENIED},
    {"first write", SaveStep::Write, 1, ERROR_DISK_FULL},
    {"last write", SaveStep::Write, 3, ERROR_DISK_FULL},
    {"short write, then the disk is full", SaveStep::Write, 2, kShortWrite},
    {"write reported but lost", SaveStep::Write, 2, kLostWrite},
    {"flush", SaveStep::Flush, 1, ERROR_IO_DEVICE},
    {"close", SaveStep::Close, 1, ERROR_NETNAME_DELETED},
    {"read back", SaveStep::ReadBack, 1, ERROR_READ_FAULT},
    {"rename over the file", SaveStep::Rename, 1, ERROR_SHARING_VIOLATION},
};

class SaveFaultsTest : public MainWindowTest {};

TEST_F(SaveFaultsTest, EveryFailedStepKeepsFileAndWork) {
    // Three writes' worth, CR LF lines as the editor keeps them.
    std::string original;
    while (original.size() < 150000) original += "    int field" + std::to_string(original.size()) + ";\r\n";
    const std::string path = dir + "Faults.java";
    WriteFileBytes(path, original);
    prompts.fileAnswers.push_back(path);
    Command("FileOpen1");
    Type("x");
    const std::string text = Editor().Text();
    ASSERT_EQ(text, "x" + original);

    for (const FaultRow& row : kRows) {
        SCOPED_TRACE(row.name);
        bool reached = false;
        SetSaveFault([&](SaveStep step, unsigned index) -> unsigned long {
            if (step != row.step || index != row.index) return 0;
            reached = true;
            return row.fault;
        });
        prompts.messages.clear();
        prompts.messageAnswers = {IDOK};
        Command("FileSave1");
        SetSaveFault(nullptr);

        EXPECT_TRUE(reached);
        EXPECT_TRUE(ReadFileBytes(path) == original) << "the file on disk changed";
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text.find("Cannot save file " + path + "\r"), 0u) << prompts.messages[0].text;
        // A reason, and not the text of "no error".
        EXPECT_EQ(prompts.messages[0].text.find(SystemReason(ERROR_SUCCESS)), std::string::npos)
            << prompts.messages[0].text;
        EXPECT_TRUE(Editor().Text() == text) << "the editor lost its text";
        EXPECT_TRUE(Editor().Modified());
        EXPECT_EQ(FilesInDir(), std::vector<std::string>{"Faults.java"});
    }

    // With no fault the same save goes through.
    Command("FileSave1");
    EXPECT_TRUE(ReadFileBytes(path) == text);
    EXPECT_FALSE(Editor().Modified());
    EXPECT_EQ(FilesInDir(), std::vector<std::string>{"Faults.java"});
}

}  // namespace
