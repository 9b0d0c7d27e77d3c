#pragma once
// TOptionsF: the settings holder of the program, over qp.ini beside the
// executable and the project options file beside the current source.
// Until the options dialog is built on it, the settings live in plain members.
#include <string>

#include "OptionsStore.h"

class TOptionsF : public TOptionsStore {
public:
    // Defaults, the editor font, then qp.ini and the check of the SDK directory,
    // whose error box (if any) is shown before the constructor returns.
    TOptionsF();

    // Full path of "qp.ini" in the executable's directory.
    static std::string SettingsFileName();

protected:
    std::string SettingsFile() const override { return SettingsFileName(); }
    void ReportJavaSdkError(const std::string& text) override;
};

// The one settings holder; null until the program entry creates it.
extern TOptionsF* OptionsF;

// The profile API behind the settings store (GetPrivateProfileStringA and
// WritePrivateProfileStringA). A name without a directory is taken to lie in the
// current directory, not in the Windows directory as the API alone would have it.
IProfile& WindowsProfile();
