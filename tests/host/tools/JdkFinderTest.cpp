// The JDK search against made-up machines: each row a layout of folders,
// registry keys and environment, and the JDKs that must be found, newest first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "JdkFinder.h"

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Paths and keys are matched without regard to case, as on Windows.
class FakePlaces : public IJdkPlaces {
public:
    std::map<std::string, std::string> env;
    std::map<std::tuple<RegistryRoot, RegistryView, std::string, std::string>, std::string> values;
    std::map<std::string, std::string> files;  // lower-case path -> text

    std::string Environment(const std::string& name) override {
        auto it = env.find(name);
        return it == env.end() ? std::string() : it->second;
    }
    std::vector<std::string> RegistrySubkeys(RegistryRoot root, RegistryView view, const std::string& key) override {
        std::set<std::string> names;
        const std::string prefix = Lower(key) + "\\";
        for (const auto& [k, v] : values) {
            const auto& [r, w, path, name] = k;
            if (r != root || w != view || path.compare(0, prefix.size(), prefix) != 0) continue;
            names.insert(path.substr(prefix.size(), path.find('\\', prefix.size()) - prefix.size()));
        }
        return {names.begin(), names.end()};
    }
    std::string RegistryValue(RegistryRoot root, RegistryView view, const std::string& key,
                              const std::string& name) override {
        auto it = values.find({root, view, Lower(key), name});
        return it == values.end() ? std::string() : it->second;
    }
    std::vector<std::string> Subfolders(const std::string& dir) override {
        std::set<std::string> names;
        const std::string prefix = Lower(dir);
        for (const auto& [path, text] : files) {
            std::size_t end = path.find('\\', prefix.size());
            if (path.compare(0, prefix.size(), prefix) == 0 && end != std::string::npos)
                names.insert(path.substr(prefix.size(), end - prefix.size()));
        }
        return {names.begin(), names.end()};
    }
    std::optional<std::string> FileText(const std::string& path) override {
        auto it = files.find(Lower(path));
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool FileExists(const std::string& path) override { return files.count(Lower(path)) != 0; }
};

// One piece of a layout.
struct Item {
    enum Kind { Jdk, File, Env, Key } kind;
    std::string a, b, c;
    RegistryRoot root = RegistryRoot::LocalMachine;
    RegistryView view = RegistryView::Bits64;
};

// A JDK's folder with its two tools, and a release file when version is given.
Item JdkAt(const std::string& home, const std::string& version = "") { return {Item::Jdk, home, version, ""}; }
Item FileAt(const std::string& path) { return {Item::File, path, "", ""}; }
Item EnvVar(const std::string& name, const std::string& value) { return {Item::Env, name, value, ""}; }
Item RegValue(RegistryRoot root, RegistryView view, const std::string& key, const std::string& name,
              const std::string& value) {
    return {Item::Key, key, name, value, root, view};
}

const RegistryRoot HKLM = RegistryRoot::LocalMachine, HKCU = RegistryRoot::CurrentUser;
const RegistryView V64 = RegistryView::Bits64, V32 = RegistryView::Bits32;

struct Layout {
    const char* name;
    std::vector<Item> items;
    std::vector<std::string> found;  // "home|version", newest first
};

void Build(FakePlaces& places, const std::vector<Item>& items) {
    for (const Item& item : items) {
        switch (item.kind) {
        case Item::Jdk: {
            std::string home = item.a.back() == '\\' ? item.a : item.a + "\\";
            places.files[Lower(home + "bin\\javac.exe")] = "";
            places.files[Lower(home + "bin\\java.exe")] = "";
            // As a JDK writes it: other keys around the version, LF line ends.
            if (!item.b.empty())
                places.files[Lower(home + "release")] = "IMPLEMENTOR=\"Vendor\"\nJAVA_RUNTIME_VERSION=\"" + item.b +
                                                        "+7-LTS\"\nJAVA_VERSION=\"" + item.b +
                                                        "\"\nJAVA_VERSION_DATE=\"2023-10-17\"\n";
            break;
        }
        case Item::File: places.files[Lower(item.a)] = item.b; break;
        case Item::Env: places.env[item.a] = item.b; break;
        case Item::Key: places.values[{item.root, item.view, Lower(item.a), item.b}] = item.c; break;
        }
    }
}

const std::vector<Layout> kLayouts = {
    {"nothing installed", {EnvVar("PATH", "C:\\Windows\\system32;C:\\Windows")}, {}},
    {"JAVA_HOME names a JDK, without its final backslash",
     {EnvVar("JAVA_HOME", "D:\\tools\\jdk17"), JdkAt("D:\\tools\\jdk17", "17.0.9")},
     {"D:\\tools\\jdk17\\|17.0.9"}},
    {"JAVA_HOME in quotes",
     {EnvVar("JAVA_HOME", "\"D:\\tools\\jdk17\\\""), JdkAt("D:\\tools\\jdk17", "17.0.9")},
     {"D:\\tools\\jdk17\\|17.0.9"}},
    {"JAVA_HOME names a runtime without a compiler",
     {EnvVar("JAVA_HOME", "D:\\jre8"), FileAt("D:\\jre8\\bin\\java.exe"), FileAt("D:\\jre8\\release")},
     {}},
    {"a compiler without its launcher is no JDK",
     {EnvVar("JAVA_HOME", "D:\\half"), FileAt("D:\\half\\bin\\javac.exe")},
     {}},
    {"Oracle's key in the 64-bit view",
     {RegValue(HKLM, V64, "SOFTWARE\\JavaSoft\\JDK", "CurrentVersion", "21"),
      RegValue(HKLM, V64, "SOFTWARE\\JavaSoft\\JDK\\21", "JavaHome", "E:\\oracle\\jdk-21"),
      JdkAt("E:\\oracle\\jdk-21", "21.0.1")},
     {"E:\\oracle\\jdk-21\\|21.0.1"}},
    {"Oracle's older key in the 32-bit view",
     {RegValue(HKLM, V32, "SOFTWARE\\JavaSoft\\Java Development Kit\\1.8", "JavaHome", "E:\\x86\\jdk1.8.0_392"),
      JdkAt("E:\\x86\\jdk1.8.0_392", "1.8.0_392")},
     {"E:\\x86\\jdk1.8.0_392\\|1.8.0_392"}},
    {"Eclipse Adoptium's MSI key",
     {RegValue(HKLM, V64, "SOFTWARE\\Eclipse Adoptium\\JDK\\17.0.9.9\\hotspot\\MSI", "Path", "E:\\temurin\\17\\"),
      JdkAt("E:\\temurin\\17", "17.0.9")},
     {"E:\\temurin\\17\\|17.0.9"}},
    {"Microsoft's key for the user alone",
     {RegValue(HKCU, V64, "SOFTWARE\\Microsoft\\JDK\\21.0.1.12\\hotspot\\MSI", "Path", "E:\\ms\\jdk-21"),
      JdkAt("E:\\ms\\jdk-21", "21.0.1")},
     {"E:\\ms\\jdk-21\\|21.0.1"}},
    {"Azul Zulu in the 32-bit view, Liberica in the 64-bit one",
     {RegValue(HKLM, V32, "SOFTWARE\\Azul Systems\\Zulu\\zulu-11", "InstallationPath", "E:\\zulu11\\"),
      JdkAt("E:\\zulu11", "11.0.21"),
      RegValue(HKLM, V64, "SOFTWARE\\BellSoft\\Liberica\\17", "InstallationPath", "E:\\liberica17\\"),
      JdkAt("E:\\liberica17", "17.0.9")},
     {"E:\\liberica17\\|17.0.9", "E:\\zulu11\\|11.0.21"}},
    {"a key whose JDK was removed",
     {RegValue(HKLM, V64, "SOFTWARE\\JavaSoft\\JDK\\19", "JavaHome", "E:\\gone\\jdk-19")},
     {}},
    {"the 64-bit Program Files as a 32-bit program is told of it",
     {EnvVar("ProgramW6432", "C:\\Program Files"), EnvVar("ProgramFiles(x86)", "C:\\Program Files (x86)"),
      EnvVar("ProgramFiles", "C:\\Program Files (x86)"), JdkAt("C:\\Program Files\\Java\\jdk-21", "21.0.1")},
     {"C:\\Program Files\\Java\\jdk-21\\|21.0.1"}},
    {"both Program Files folders, as a 64-bit program sees them",
     {EnvVar("ProgramW6432", "C:\\Program Files"), EnvVar("ProgramFiles(x86)", "C:\\Program Files (x86)"),
      EnvVar("ProgramFiles", "C:\\Program Files"), JdkAt("C:\\Program Files\\Java\\jdk-21", "21.0.1"),
      JdkAt("C:\\Program Files\\Eclipse Adoptium\\jdk-17.0.9.9-hotspot", "17.0.9"),
      JdkAt("C:\\Program Files (x86)\\Java\\jdk1.8.0_392", "1.8.0_392"),
      JdkAt("C:\\Program Files\\Zulu\\zulu-11", "11.0.21"),
      FileAt("C:\\Program Files\\Microsoft\\Edge\\msedge.exe")},
     {"C:\\Program Files\\Java\\jdk-21\\|21.0.1",
      "C:\\Program Files\\Eclipse Adoptium\\jdk-17.0.9.9-hotspot\\|17.0.9",
      "C:\\Program Files\\Zulu\\zulu-11\\|11.0.21", "C:\\Program Files (x86)\\Java\\jdk1.8.0_392\\|1.8.0_392"}},
    {"the user's own programs and .jdks",
     {EnvVar("LOCALAPPDATA", "C:\\Users\\ann\\AppData\\Local"), EnvVar("USERPROFILE", "C:\\Users\\ann"),
      JdkAt("C:\\Users\\ann\\AppData\\Local\\Programs\\Eclipse Adoptium\\jdk-17", "17"),
      JdkAt("C:\\Users\\ann\\AppData\\Local\\Programs\\jdk-11", "11.0.2"),
      JdkAt("C:\\Users\\ann\\.jdks\\openjdk-22", "22")},
     {"C:\\Users\\ann\\.jdks\\openjdk-22\\|22",
      "C:\\Users\\ann\\AppData\\Local\\Programs\\Eclipse Adoptium\\jdk-17\\|17",
      "C:\\Users\\ann\\AppData\\Local\\Programs\\jdk-11\\|11.0.2"}},
    {"a compiler on the PATH, and a folder of launchers that is no JDK",
     {EnvVar("PATH", "C:\\Windows;C:\\Program Files\\Common Files\\Oracle\\Java\\javapath;\"D:\\jdk\\bin\";"),
      FileAt("C:\\Program Files\\Common Files\\Oracle\\Java\\javapath\\javac.exe"),
      FileAt("C:\\Program Files\\Common Files\\Oracle\\Java\\javapath\\java.exe"), JdkAt("D:\\jdk")},
     {"D:\\jdk\\|"}},
    {"one JDK found four ways, named in other cases",
     {EnvVar("JAVA_HOME", "C:\\Program Files\\Java\\jdk-21\\"), EnvVar("ProgramW6432", "C:\\Program Files"),
      EnvVar("PATH", "c:\\program files\\java\\JDK-21\\bin"),
      RegValue(HKLM, V64, "SOFTWARE\\JavaSoft\\JDK\\21", "JavaHome", "C:\\PROGRAM FILES\\Java\\jdk-21"),
      RegValue(HKLM, V32, "SOFTWARE\\JavaSoft\\JDK\\21", "JavaHome", "C:\\PROGRAM FILES\\Java\\jdk-21"),
      JdkAt("C:\\Program Files\\Java\\jdk-21", "21.0.1")},
     {"C:\\Program Files\\Java\\jdk-21\\|21.0.1"}},
    {"versions compared by their numbers; no release file is the oldest",
     {EnvVar("USERPROFILE", "C:\\Users\\bob"), JdkAt("C:\\Users\\bob\\.jdks\\a", "1.8.0_392"),
      JdkAt("C:\\Users\\bob\\.jdks\\b"), JdkAt("C:\\Users\\bob\\.jdks\\c", "17"),
      JdkAt("C:\\Users\\bob\\.jdks\\d", "11.0.2"), JdkAt("C:\\Users\\bob\\.jdks\\e", "21.0.1"),
      JdkAt("C:\\Users\\bob\\.jdks\\f", "9"), JdkAt("C:\\Users\\bob\\.jdks\\g", "11.0.10"),
      JdkAt("C:\\Users\\bob\\.jdks\\h", "21")},
     {"C:\\Users\\bob\\.jdks\\e\\|21.0.1", "C:\\Users\\bob\\.jdks\\h\\|21", "C:\\Users\\bob\\.jdks\\c\\|17",
      "C:\\Users\\bob\\.jdks\\g\\|11.0.10", "C:\\Users\\bob\\.jdks\\d\\|11.0.2", "C:\\Users\\bob\\.jdks\\f\\|9",
      "C:\\Users\\bob\\.jdks\\a\\|1.8.0_392", "C:\\Users\\bob\\.jdks\\b\\|"}},
};

TEST(JdkFinder, Layouts) {
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        FakePlaces places;
        Build(places, layout.items);
        std::vector<std::string> found;
        for (const JdkInstall& jdk : FindJdks(places)) found.push_back(jdk.home + "|" + jdk.version);
        EXPECT_EQ(found, layout.found);
    }
}

TEST(JdkFinder, StatusAndListTexts) {
    const JdkInstall known{"C:\\Program Files\\Java\\jdk-21\\", "21.0.1"}, unknown{"D:\\jdk\\", ""};
    EXPECT_EQ(JdkInUseText(known), "Using JDK 21.0.1 (C:\\Program Files\\Java\\jdk-21\\bin\\)");
    EXPECT_EQ(JdkInUseText(unknown), "Using JDK (D:\\jdk\\bin\\)");
    EXPECT_EQ(JdkListText(known), "21.0.1   C:\\Program Files\\Java\\jdk-21\\");
    EXPECT_EQ(JdkListText(unknown), "(version unknown)   D:\\jdk\\");
}

}  // namespace
