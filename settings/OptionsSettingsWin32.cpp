// Which control of the options dialog shows which setting, and the two ways
// between them: a change of a setting is shown in its control, and an edit in
// a control is the setting at once. So the accessors give what the dialog
// shows while it is open, and Cancel's re-reading of qp.ini starts from the
// edits (a setting whose key the file lacks keeps what was typed).
#include <windows.h>

#include <cstddef>

#include "ControlsWin32.h"
#include "OptionsU.h"

namespace {

// A setting and the control of the dialog that shows it.
template <class Setting>
struct Shown {
    Setting setting;
    HWND TOptionsF::*control;
};

const Shown<TextSetting> kFields[] = {
    {TextSetting::JavaSdkDir, &TOptionsF::JDirE},
    {TextSetting::CompillerCommand, &TOptionsF::CompCommE},
    {TextSetting::InterpreterCommand, &TOptionsF::IntCommE},
    {TextSetting::AppletViewerCommand, &TOptionsF::ApViewCommE},
    {TextSetting::HtmlTemplate, &TOptionsF::HtmlTempM},
    {TextSetting::AppCommandLine, &TOptionsF::AppComLineE},
    {TextSetting::AppletHtmlFile, &TOptionsF::AppHtmlE},
};

const Shown<SwitchSetting> kCheckBoxes[] = {
    {SwitchSetting::AutoIndent, &TOptionsF::AutoindentCB},
    {SwitchSetting::SmartTabs, &TOptionsF::SmartTabsCB},
    {SwitchSetting::NewFilesUtf8, &TOptionsF::NewUtf8CB},
    {SwitchSetting::Colouring, &TOptionsF::ColourCB},
};

template <class Setting, std::size_t N>
HWND ControlOf(const TOptionsF& dialog, const Shown<Setting> (&table)[N], Setting which) {
    for (const auto& row : table)
        if (row.setting == which) return dialog.*row.control;
    return nullptr;
}

}  // namespace

HWND TOptionsF::FieldOf(TextSetting which) const { return ControlOf(*this, kFields, which); }

HWND TOptionsF::CheckBoxOf(SwitchSetting which) const { return ControlOf(*this, kCheckBoxes, which); }

void TOptionsF::TextChanged(TextSetting which) {
    HWND field = FieldOf(which);
    // An edit made in the field comes back here as the text it holds already.
    if (!field || ControlText(field) == Text(which)) return;
    const std::string value = Text(which);
    SetWindowTextA(field, value.c_str());
    // What the field keeps of it is the setting (its text ends at a zero character).
    SetText(which, ControlText(field));
}

void TOptionsF::SwitchChanged(SwitchSetting which) {
    HWND box = CheckBoxOf(which);
    if (box && IsChecked(box) != Switch(which)) SetChecked(box, Switch(which));
}

void TOptionsF::ControlChanged(HWND control) {
    if (!control) return;
    for (const auto& f : kFields)
        if (this->*f.control == control) return SetText(f.setting, ControlText(control));
    for (const auto& b : kCheckBoxes)
        if (this->*b.control == control) return SetSwitch(b.setting, IsChecked(control));
}

void TOptionsF::ShowSettings() {
    for (const auto& f : kFields) TextChanged(f.setting);
    for (const auto& b : kCheckBoxes) SwitchChanged(b.setting);
}
