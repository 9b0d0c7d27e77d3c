#include <gtest/gtest.h>

#include "QpText.h"

namespace {

struct NameCase {
    const char* path;
    const char* name;
    const char* dir;
    const char* ext;
    const char* asIni;
};

const NameCase kNames[] = {
    {"C:\\work\\Hello.java", "Hello.java", "C:\\work\\", ".java", "C:\\work\\Hello.ini"},
    {"Untitled.java", "Untitled.java", "", ".java", "Untitled.ini"},
    {"", "", "", "", ".ini"},
    {"C:Hello.java", "Hello.java", "C:", ".java", "C:Hello.ini"},
    {"C:\\work\\my.app.java", "my.app.java", "C:\\work\\", ".java", "C:\\work\\my.app.ini"},
    // A dot in a folder name is no extension of the file.
    {"C:\\my.dir\\Makefile", "Makefile", "C:\\my.dir\\", "", "C:\\my.dir\\Makefile.ini"},
    {"C:\\work\\", "", "C:\\work\\", "", "C:\\work\\.ini"},
    {"C:\\work\\.hidden", ".hidden", "C:\\work\\", ".hidden", "C:\\work\\.ini"},
    {"a/b.c", "a/b.c", "", ".c", "a/b.ini"},  // only backslash and colon delimit
};

TEST(FileNames, PartsAndExtensionChange) {
    for (const NameCase& c : kNames) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ExtractFileName(c.path), c.name);
        EXPECT_EQ(ExtractFilePath(c.path), c.dir);
        EXPECT_EQ(ExtractFileExt(c.path), c.ext);
        EXPECT_EQ(ChangeFileExt(c.path, ".ini"), c.asIni);
    }
}

}  // namespace
