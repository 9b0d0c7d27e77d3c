#pragma once
// The about box: the program's icon, name, version, author and date, and three
// link buttons that hand a mail or web address to the shell.
#include <windows.h>

#include <string>

#include "ModalForm.h"

// The shell call behind the link buttons, with ShellExecuteA's own signature.
// Tests put a recorder here so that nothing is opened.
using TShellExecuteA = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
extern TShellExecuteA ShellExecuteProc;

class TAboutBox : public TModalForm {
public:
    // title: the application's title, shown as the product name. The icon is
    // the owner's (the main window's) big icon.
    TAboutBox(HWND owner, const std::string& title);

    // Link targets, as the shell gets them.
    static const char kAuthorMail[];   // "mailto:" and the address
    static const char kAuthorWeb[];    // a bare host address
    static const char kSourcesWeb[];   // host and path, no scheme

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();

    // Components; Panel1 is the lowered frame behind all but the OK button.
    HWND Panel1, ProgramIcon, ProductName, VersionL, Label1, Label2;
    HWND SpeedButton1, SpeedButton2, Label4, SpeedButton3, DateL, BitBtn1;

protected:
    void FormShow() override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void FormCreate(const std::string& title);
    bool IsLink(HWND control) const;
    void DrawLink(const DRAWITEMSTRUCT& item);

    HFONT linkFont_;
};

extern TAboutBox* AboutBox;
