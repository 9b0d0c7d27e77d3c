// qp.ini and a project file holding any values: loading keeps every setting in
// its bounds, and saving either refuses before writing or stores values that
// load back unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "Check.h"
#include "MemoryProfile.h"
#include "OptionsStore.h"
#include "QpErrors.h"

namespace {

class Store : public TOptionsStore {
public:
    explicit Store(IProfile& p) : TOptionsStore(p) { Create(); }
    std::string SettingsFile() const override { return "C:\\qp\\qp.ini"; }
    void ReportJavaSdkError(const std::string&) override {}
};

const char* const kKeys[][2] = {
    {"JavaSDK", "Directory"}, {"JavaSDK", "CompillerCommand"}, {"JavaSDK", "InterpreterCommand"},
    {"JavaSDK", "AppletViewerCommand"}, {"Editor", "FontName"}, {"Editor", "FontSize"},
    {"Editor", "Autoindent"}, {"Editor", "SmartTabs"}, {"Parameters", "CommandLine"},
    {"Parameters", "HTML"}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    MemoryProfile profile;
    const std::string project = "C:\\src\\A.ini";
    for (const auto& k : kKeys) {
        if (!in.ConsumeBool()) continue;
        const bool projectKey = std::string(k[0]) == "Parameters";
        profile.Set(projectKey ? project : "C:\\qp\\qp.ini", k[0], k[1], in.ConsumeRandomLengthString(4096));
    }
    const std::string number = in.ConsumeRandomLengthString(24);

    // The integer rule against the C library's reading of the same text.
    if (auto v = ParseProfileInt(number)) {
        const bool hex = number.size() > 2 && number[0] == '0' && (number[1] | 0x20) == 'x';
        const long long ref = std::strtoll(number.c_str() + (hex ? 2 : 0), nullptr, hex ? 16 : 10);
        QP_CHECK(*v == static_cast<int>(static_cast<std::int32_t>(ref)));
    }

    // What the profile service gives back for a written value: blanks trimmed,
    // then one pair of matching quotes removed.
    const std::string value = in.ConsumeRandomLengthString(64);
    if (value.find_first_of("\r\n") == std::string::npos) {
        std::string back = EncodeProfileValue(value);
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; };
        while (!back.empty() && blank(back.back())) back.pop_back();
        std::size_t lead = 0;
        while (lead < back.size() && blank(back[lead])) ++lead;
        back.erase(0, lead);
        if (back.size() >= 2 && (back[0] == '"' || back[0] == '\'') && back.back() == back[0])
            back = back.substr(1, back.size() - 2);
        QP_CHECK(back == value);
    }

    Store store(profile);
    store.SetSourceFile("C:\\src\\A.java");
    QP_CHECK(store.EditorFont().size >= kMinFontSize && store.EditorFont().size <= kMaxFontSize);
    QP_CHECK(!store.EditorFont().name.empty() && store.EditorFont().name.size() <= kMaxFaceName);

    // A refused save writes nothing to its file.
    bool saved = true;
    for (auto save : {&TOptionsStore::SaveOptions, &TOptionsStore::SaveProjectOptions}) {
        const std::size_t before = profile.writes.size();
        try {
            (store.*save)();
        } catch (const Exception&) {
            QP_CHECK(profile.writes.size() == before);
            saved = false;
        }
    }
    if (!saved) return 0;
    Store again(profile);
    again.SetSourceFile("C:\\src\\A.java");
    QP_CHECK(again.JavaSdkDir() == store.JavaSdkDir());
    QP_CHECK(again.CompillerCommand() == store.CompillerCommand());
    QP_CHECK(again.InterpreterCommand() == store.InterpreterCommand());
    QP_CHECK(again.AppletViewerCommand() == store.AppletViewerCommand());
    QP_CHECK(again.EditorFont().name == store.EditorFont().name);
    QP_CHECK(again.EditorFont().size == store.EditorFont().size);
    QP_CHECK(again.AutoIndent() == store.AutoIndent() && again.SmartTabs() == store.SmartTabs());
    QP_CHECK(again.AppCommandLine() == store.AppCommandLine());
    QP_CHECK(again.AppletHtmlFile() == store.AppletHtmlFile());
    return 0;
}
