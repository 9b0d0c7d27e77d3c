// The JDK search against made-up machines: each row a layout of folders,
// registry keys and environment, and the JDKs that must be found, newest first.
#include <gtest/gtest.h>

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

// A layout, one piece a line:
//   "jdk HOME[|VERSION]"   bin\javac.exe and bin\java.exe, and a release file with VERSION
//   "file PATH"            an empty file
//   "env NAME=VALUE"
//   "HKLM64 KEY|NAME=VALUE" (or HKLM32, HKCU64, HKCU32)   a registry value in that view
// Paths and keys match without regard to case, as on Windows.
class FakePlaces : public IJdkPlaces {
public:
    explicit FakePlaces(const std::vector<std::string>& layout) {
        for (const std::string& line : layout) {
            const std::string kind = line.substr(0, line.find(' ')), rest = line.substr(kind.size() + 1);
            const std::size_t eq = rest.find('=');
            if (kind == "jdk") {
                const std::size_t bar = rest.find('|');
                const std::string home = rest.substr(0, bar) + "\\", version = bar == std::string::npos ? "" : rest.substr(bar + 1);
                files_[Lower(home + "bin\\javac.exe")] = files_[Lower(home + "bin\\java.exe")] = "";
                // As a JDK writes it: other keys around the version.
                if (!version.empty())
                    files_[Lower(home + "release")] = "IMPLEMENTOR=\"X\"\nJAVA_RUNTIME_VERSION=\"" + version +
                                                      "+7-LTS\"\nJAVA_VERSION=\"" + version + "\"\nJAVA_VERSION_DATE=\"2023-10-17\"\n";
            } else if (kind == "file") {
                files_[Lower(rest)] = "";
            } else if (kind == "env") {
                env_[rest.substr(0, eq)] = rest.substr(eq + 1);
            } else {
                const std::size_t bar = rest.find('|');
                values_[{kind, Lower(rest.substr(0, bar)), rest.substr(bar + 1, eq - bar - 1)}] = rest.substr(eq + 1);
            }
        }
    }
    std::string Environment(const std::string& name) override { return env_.count(name) ? env_[name] : ""; }
    std::vector<std::string> RegistrySubkeys(RegistryRoot root, RegistryView view, const std::string& key) override {
        std::set<std::string> names;
        const std::string prefix = Lower(key) + "\\";
        for (const auto& [k, v] : values_)
            if (std::get<0>(k) == Hive(root, view) && std::get<1>(k).compare(0, prefix.size(), prefix) == 0)
                names.insert(std::get<1>(k).substr(prefix.size(), std::get<1>(k).find('\\', prefix.size()) - prefix.size()));
        return {names.begin(), names.end()};
    }
    std::string RegistryValue(RegistryRoot root, RegistryView view, const std::string& key,
                              const std::string& name) override {
        auto it = values_.find({Hive(root, view), Lower(key), name});
        return it == values_.end() ? std::string() : it->second;
    }
    std::vector<std::string> Subfolders(const std::string& dir) override {
        std::set<std::string> names;
        const std::string prefix = Lower(dir);
        for (const auto& [path, text] : files_)
            if (path.compare(0, prefix.size(), prefix) == 0 && path.find('\\', prefix.size()) != std::string::npos)
                names.insert(path.substr(prefix.size(), path.find('\\', prefix.size()) - prefix.size()));
        return {names.begin(), names.end()};
    }
    std::optional<std::string> FileText(const std::string& path) override {
        auto it = files_.find(Lower(path));
        return it == files_.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    bool FileExists(const std::string& path) override { return files_.count(Lower(path)) != 0; }

private:
    static std::string Hive(RegistryRoot root, RegistryView view) {
        return std::string(root == RegistryRoot::LocalMachine ? "HKLM" : "HKCU") + (view == RegistryView::Bits64 ? "64" : "32");
    }
    std::map<std::string, std::string> env_, files_;
    std::map<std::tuple<std::string, std::string, std::string>, std::string> values_;
};

const struct {
    const char* name;
    std::vector<std::string> layout;
    std::vector<std::string> found;  // "home|version", newest first
} kLayouts[] = {
    {"nothing installed", {"env PATH=C:\\Windows\\system32;C:\\Windows"}, {}},
    {"JAVA_HOME without its final backslash", {"env JAVA_HOME=D:\\jdk17", "jdk D:\\jdk17|17.0.9"}, {"D:\\jdk17\\|17.0.9"}},
    {"JAVA_HOME in quotes", {"env JAVA_HOME=\"D:\\jdk17\\\"", "jdk D:\\jdk17|17.0.9"}, {"D:\\jdk17\\|17.0.9"}},
    {"JAVA_HOME names a runtime", {"env JAVA_HOME=D:\\jre8", "file D:\\jre8\\bin\\java.exe", "file D:\\jre8\\release"}, {}},
    {"a compiler without its launcher", {"env JAVA_HOME=D:\\half", "file D:\\half\\bin\\javac.exe"}, {}},
    {"Oracle's key, 64-bit view",
     {"HKLM64 SOFTWARE\\JavaSoft\\JDK|CurrentVersion=21", "HKLM64 SOFTWARE\\JavaSoft\\JDK\\21|JavaHome=E:\\jdk-21",
      "jdk E:\\jdk-21|21.0.1"},
     {"E:\\jdk-21\\|21.0.1"}},
    {"Oracle's older key, 32-bit view",
     {"HKLM32 SOFTWARE\\JavaSoft\\Java Development Kit\\1.8|JavaHome=E:\\jdk1.8.0_392", "jdk E:\\jdk1.8.0_392|1.8.0_392"},
     {"E:\\jdk1.8.0_392\\|1.8.0_392"}},
    {"Eclipse Adoptium's MSI key",
     {"HKLM64 SOFTWARE\\Eclipse Adoptium\\JDK\\17.0.9.9\\hotspot\\MSI|Path=E:\\temurin17\\", "jdk E:\\temurin17|17.0.9"},
     {"E:\\temurin17\\|17.0.9"}},
    {"Microsoft's key for the user alone",
     {"HKCU64 SOFTWARE\\Microsoft\\JDK\\21.0.1.12\\hotspot\\MSI|Path=E:\\ms21", "jdk E:\\ms21|21.0.1"},
     {"E:\\ms21\\|21.0.1"}},
    {"Zulu in the 32-bit view, Liberica in the 64-bit one",
     {"HKLM32 SOFTWARE\\Azul Systems\\Zulu\\zulu-11|InstallationPath=E:\\zulu11\\", "jdk E:\\zulu11|11.0.21",
      "HKLM64 SOFTWARE\\BellSoft\\Liberica\\17|InstallationPath=E:\\lib17", "jdk E:\\lib17|17.0.9"},
     {"E:\\lib17\\|17.0.9", "E:\\zulu11\\|11.0.21"}},
    {"a key whose JDK was removed", {"HKLM64 SOFTWARE\\JavaSoft\\JDK\\19|JavaHome=E:\\gone"}, {}},
    {"the 64-bit Program Files, as a 32-bit program is told of it",
     {"env ProgramW6432=C:\\Program Files", "env ProgramFiles(x86)=C:\\Program Files (x86)",
      "env ProgramFiles=C:\\Program Files (x86)", "jdk C:\\Program Files\\Java\\jdk-21|21.0.1"},
     {"C:\\Program Files\\Java\\jdk-21\\|21.0.1"}},
    {"both Program Files, as a 64-bit program sees them",
     {"env ProgramW6432=C:\\Program Files", "env ProgramFiles(x86)=C:\\Program Files (x86)",
      "env ProgramFiles=C:\\Program Files", "jdk C:\\Program Files\\Eclipse Adoptium\\jdk-17.0.9.9-hotspot|17.0.9",
      "jdk C:\\Program Files (x86)\\Java\\jdk1.8.0_392|1.8.0_392", "jdk C:\\Program Files\\Zulu\\zulu-11|11.0.21",
      "file C:\\Program Files\\Microsoft\\Edge\\msedge.exe"},
     {"C:\\Program Files\\Eclipse Adoptium\\jdk-17.0.9.9-hotspot\\|17.0.9", "C:\\Program Files\\Zulu\\zulu-11\\|11.0.21",
      "C:\\Program Files (x86)\\Java\\jdk1.8.0_392\\|1.8.0_392"}},
    {"the user's own programs and .jdks",
     {"env LOCALAPPDATA=C:\\Users\\ann\\AppData\\Local", "env USERPROFILE=C:\\Users\\ann",
      "jdk C:\\Users\\ann\\AppData\\Local\\Programs\\Eclipse Adoptium\\jdk-17|17",
      "jdk C:\\Users\\ann\\AppData\\Local\\Programs\\jdk-11|11.0.2", "jdk C:\\Users\\ann\\.jdks\\openjdk-22|22"},
     {"C:\\Users\\ann\\.jdks\\openjdk-22\\|22", "C:\\Users\\ann\\AppData\\Local\\Programs\\Eclipse Adoptium\\jdk-17\\|17",
      "C:\\Users\\ann\\AppData\\Local\\Programs\\jdk-11\\|11.0.2"}},
    {"a compiler on the PATH, and a folder of launchers that is no JDK",
     {"env PATH=C:\\Windows;C:\\Oracle\\Java\\javapath;\"D:\\jdk\\bin\";", "file C:\\Oracle\\Java\\javapath\\javac.exe",
      "file C:\\Oracle\\Java\\javapath\\java.exe", "jdk D:\\jdk"},
     {"D:\\jdk\\|"}},
    {"one JDK found five ways, named in other cases",
     {"env JAVA_HOME=C:\\Program Files\\Java\\jdk-21\\", "env ProgramW6432=C:\\Program Files",
      "env PATH=c:\\program files\\java\\JDK-21\\bin", "HKLM64 SOFTWARE\\JavaSoft\\JDK\\21|JavaHome=C:\\PROGRAM FILES\\Java\\jdk-21",
      "HKLM32 SOFTWARE\\JavaSoft\\JDK\\21|JavaHome=C:\\PROGRAM FILES\\Java\\jdk-21", "jdk C:\\Program Files\\Java\\jdk-21|21.0.1"},
     {"C:\\Program Files\\Java\\jdk-21\\|21.0.1"}},
    {"versions by their numbers; no release file is the oldest",
     {"env USERPROFILE=C:\\U", "jdk C:\\U\\.jdks\\a|1.8.0_392", "jdk C:\\U\\.jdks\\b", "jdk C:\\U\\.jdks\\c|17",
      "jdk C:\\U\\.jdks\\d|11.0.2", "jdk C:\\U\\.jdks\\e|21.0.1", "jdk C:\\U\\.jdks\\f|9", "jdk C:\\U\\.jdks\\g|11.0.10",
      "jdk C:\\U\\.jdks\\h|21"},
     {"C:\\U\\.jdks\\e\\|21.0.1", "C:\\U\\.jdks\\h\\|21", "C:\\U\\.jdks\\c\\|17", "C:\\U\\.jdks\\g\\|11.0.10",
      "C:\\U\\.jdks\\d\\|11.0.2", "C:\\U\\.jdks\\f\\|9", "C:\\U\\.jdks\\a\\|1.8.0_392", "C:\\U\\.jdks\\b\\|"}},
};

TEST(JdkFinder, Layouts) {
    for (const auto& row : kLayouts) {
        SCOPED_TRACE(row.name);
        FakePlaces places(row.layout);
        std::vector<std::string> found;
        for (const JdkInstall& jdk : FindJdks(places)) found.push_back(jdk.home + "|" + jdk.version);
        EXPECT_EQ(found, row.found);
    }
}

TEST(JdkFinder, StatusAndListTexts) {
    const JdkInstall known{"C:\\Java\\jdk-21\\", "21.0.1"}, unknown{"D:\\jdk\\", ""};
    EXPECT_EQ(JdkInUseText(known), "Using JDK 21.0.1 (C:\\Java\\jdk-21\\bin\\)");
    EXPECT_EQ(JdkInUseText(unknown), "Using JDK (D:\\jdk\\bin\\)");
    EXPECT_EQ(JdkListText(known), "21.0.1   C:\\Java\\jdk-21\\");
    EXPECT_EQ(JdkListText(unknown), "(version unknown)   D:\\jdk\\");
}

}  // namespace
