#pragma once
// Finds the JDKs installed on the machine where their installers put them: the
// folder JAVA_HOME names, the installers' registry keys (in both registry views,
// as the program is 32-bit and most JDKs 64-bit), the folders they install to,
// and a javac.exe on the PATH. The search runs over a small interface so that it
// is tried against made-up machines as well as the real one.
#include <optional>
#include <string>
#include <vector>

enum class RegistryRoot { LocalMachine, CurrentUser };
// The 64-bit and the 32-bit registry of 64-bit Windows; on 32-bit Windows both are the one.
enum class RegistryView { Bits64, Bits32 };

// What the search reads of the machine. Folders are named with a final backslash.
class IJdkPlaces {
public:
    virtual ~IJdkPlaces() = default;
    // The variable's value; empty when it is not set.
    virtual std::string Environment(const std::string& name) = 0;
    // The names of key's subkeys (key under root, e.g. "SOFTWARE\JavaSoft\JDK").
    virtual std::vector<std::string> RegistrySubkeys(RegistryRoot root, RegistryView view,
                                                     const std::string& key) = 0;
    // A text value of key; empty when the key or the value is missing.
    virtual std::string RegistryValue(RegistryRoot root, RegistryView view, const std::string& key,
                                      const std::string& name) = 0;
    // The names of the folders in dir.
    virtual std::vector<std::string> Subfolders(const std::string& dir) = 0;
    // The whole text of a file; nothing when it cannot be read.
    virtual std::optional<std::string> FileText(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;
};

struct JdkInstall {
    std::string home;     // the JDK's folder, with a final backslash
    std::string version;  // JAVA_VERSION of its release file; empty when it has none
    std::string BinDir() const { return home + "bin\\"; }
};

// The JDKs found (each folder with bin\javac.exe and bin\java.exe, once), newest first.
std::vector<JdkInstall> FindJdks(IJdkPlaces& places);

// Compares Java versions by their numbers ("1.8.0_392" < "11.0.2" < "17" < "21.0.1");
// an empty version is older than any other. Negative, zero or positive.
int CompareJavaVersions(const std::string& a, const std::string& b);

// JAVA_VERSION="..." of a JDK's release file; empty when the file has no such line.
std::string ReleaseVersion(const std::string& releaseText);

// What the status bar says of the JDK taken: "Using JDK 21.0.1 (C:\...\bin\)".
std::string JdkInUseText(const JdkInstall& jdk);

// One line of the options dialog's list: the version, then the folder.
std::string JdkListText(const JdkInstall& jdk);

// The machine the program runs on (JdkFinderWin32.cpp).
IJdkPlaces& WindowsJdkPlaces();
