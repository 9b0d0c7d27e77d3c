#include "JdkFinder.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace {

// The keys the JDK installers write, each with the JDK's folder in one of
// kHomeValues a few levels down: JavaSoft\JDK\<version> (JavaHome), Eclipse
// Adoptium\JDK\<version>\hotspot\MSI (Path), Azul Systems\Zulu\<name>
// (InstallationPath) and the like.
const char* const kRegistryKeys[] = {
    "SOFTWARE\\JavaSoft\\JDK",        "SOFTWARE\\JavaSoft\\Java Development Kit",
    "SOFTWARE\\Eclipse Adoptium\\JDK", "SOFTWARE\\AdoptOpenJDK\\JDK",
    "SOFTWARE\\Microsoft\\JDK",       "SOFTWARE\\Azul Systems\\Zulu",
    "SOFTWARE\\Amazon Corretto",      "SOFTWARE\\BellSoft\\Liberica",
};
const char* const kHomeValues[] = {"JavaHome", "Path", "InstallationPath"};
// Deep enough for <version>\hotspot\MSI; the keys are few, so the walk is cheap.
constexpr int kRegistryDepth = 3;

// The folders under Program Files (and the user's own programs) that the
// installers make, each holding one folder per JDK.
const char* const kVendorFolders[] = {"Java",     "Eclipse Adoptium", "AdoptOpenJDK",   "Microsoft",
                                      "Zulu",     "Amazon Corretto",  "BellSoft"};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trimmed(const std::string& s) {
    const char* blanks = " \t\r\n\"";
    std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// A folder as the search names it: no quotes or blanks around it, a final backslash.
std::string AsFolder(const std::string& path) {
    std::string dir = Trimmed(path);
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir;
}

// The folder above dir (which ends with a backslash); empty at a drive's root.
std::string ParentFolder(const std::string& dir) {
    if (dir.size() < 2) return std::string();
    std::size_t slash = dir.rfind('\\', dir.size() - 2);
    return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
}

class Search {
public:
    explicit Search(IJdkPlaces& places) : places_(places) {}

    void Consider(const std::string& path) {
        const std::string home = AsFolder(path);
        if (home.empty() || !seen_.insert(Lower(home)).second) return;
        if (!places_.FileExists(home + "bin\\javac.exe") || !places_.FileExists(home + "bin\\java.exe"))
            return;
        std::optional<std::string> release = places_.FileText(home + "release");
        found_.push_back({home, release ? ReleaseVersion(*release) : std::string()});
    }

    void RegistryKey(RegistryRoot root, RegistryView view, const std::string& key, int depth) {
        if (depth > 0)
            for (const char* name : kHomeValues) Consider(places_.RegistryValue(root, view, key, name));
        if (depth == kRegistryDepth) return;
        for (const std::string& sub : places_.RegistrySubkeys(root, view, key))
            RegistryKey(root, view, key + "\\" + sub, depth + 1);
    }

    void FoldersIn(const std::string& dir) {
        if (dir.empty()) return;
        for (const std::string& name : places_.Subfolders(dir)) Consider(dir + name);
    }

    void VendorFoldersIn(const std::string& dir) {
        if (dir.empty()) return;
        for (const char* vendor : kVendorFolders) FoldersIn(dir + vendor + "\\");
    }

    void PathEntries(const std::string& path) {
        std::size_t start = 0;
        while (start <= path.size()) {
            std::size_t end = std::min(path.find(';', start), path.size());
            const std::string dir = AsFolder(path.substr(start, end - start));
            if (!dir.empty() && places_.FileExists(dir + "javac.exe")) Consider(ParentFolder(dir));
            start = end + 1;
        }
    }

    std::vector<JdkInstall> Newest() {
        std::stable_sort(found_.begin(), found_.end(), [](const JdkInstall& a, const JdkInstall& b) {
            return CompareJavaVersions(a.version, b.version) > 0;
        });
        return found_;
    }

private:
    IJdkPlaces& places_;
    std::set<std::string> seen_;  // folders already looked at, in lower case
    std::vector<JdkInstall> found_;
};

// The digit runs of a version, each without its leading zeros.
std::vector<std::string> VersionNumbers(const std::string& v) {
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < v.size();) {
        if (!std::isdigit(static_cast<unsigned char>(v[i]))) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < v.size() && std::isdigit(static_cast<unsigned char>(v[end]))) ++end;
        std::string n = v.substr(i, end - i);
        n.erase(0, std::min(n.find_first_not_of('0'), n.size()));
        numbers.push_back(n);
        i = end;
    }
    return numbers;
}

}  // namespace

int CompareJavaVersions(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
    const std::vector<std::string> x = VersionNumbers(a), y = VersionNumbers(b);
    for (std::size_t i = 0; i < std::max(x.size(), y.size()); ++i) {
        // A missing number is a zero: 17 is 17.0.0. Numbers of any length, by their digits.
        const std::string p = i < x.size() ? x[i] : std::string(), q = i < y.size() ? y[i] : std::string();
        if (p.size() != q.size()) return p.size() < q.size() ? -1 : 1;
        if (int c = p.compare(q)) return c < 0 ? -1 : 1;
    }
    return 0;
}

std::string ReleaseVersion(const std::string& releaseText) {
    const std::string key = "JAVA_VERSION=";
    std::size_t start = 0;
    while (start < releaseText.size()) {
        std::size_t end = std::min(releaseText.find('\n', start), releaseText.size());
        const std::string line = Trimmed(releaseText.substr(start, end - start));
        if (line.compare(0, key.size(), key) == 0) return Trimmed(line.substr(key.size()));
        start = end + 1;
    }
    return std::string();
}

std::vector<JdkInstall> FindJdks(IJdkPlaces& places) {
    Search search(places);
    search.Consider(places.Environment("JAVA_HOME"));
    for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser})
        for (RegistryView view : {RegistryView::Bits64, RegistryView::Bits32})
            for (const char* key : kRegistryKeys) search.RegistryKey(root, view, key, 0);
    // A 32-bit program's ProgramFiles is the (x86) folder; ProgramW6432 names the 64-bit one.
    for (const char* var : {"ProgramW6432", "ProgramFiles(x86)", "ProgramFiles"})
        search.VendorFoldersIn(AsFolder(places.Environment(var)));
    const std::string userPrograms = AsFolder(places.Environment("LOCALAPPDATA"));
    if (!userPrograms.empty()) {
        search.FoldersIn(userPrograms + "Programs\\");
        search.VendorFoldersIn(userPrograms + "Programs\\");
    }
    const std::string profile = AsFolder(places.Environment("USERPROFILE"));
    if (!profile.empty()) search.FoldersIn(profile + ".jdks\\");
    search.PathEntries(places.Environment("PATH"));
    return search.Newest();
}

std::string JdkInUseText(const JdkInstall& jdk) {
    return "Using JDK " + (jdk.version.empty() ? std::string() : jdk.version + " ") + "(" + jdk.BinDir() + ")";
}

std::string JdkListText(const JdkInstall& jdk) {
    return (jdk.version.empty() ? std::string("(version unknown)") : jdk.version) + "   " + jdk.home;
}
