// Find and Search again in a 4 MB source through the program's commands, and
// the control's own EM_FINDTEXT over the same ranges on the same control, so
// that the program's share of the cost shows as a ratio.
// Not a test: run with `make bench`.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FindU.h"
#include "OptionsU.h"
#include "QPadU.h"
#include "RichEditQX.h"
#include "BenchSupport.h"
#include "ScriptedPrompts.h"

namespace {

using bench::Now;
using bench::Seconds;

const char kWord[] = "searchTarget";
const int kOccurrences = 20;

// About 4 MB of methods; the word only in the last hundred lines or so.
std::string MakeSource(std::size_t size) {
    std::string text = bench::Methods(size);
    // Once a line as a whole word, twice inside longer words.
    for (int i = 0; i < kOccurrences; ++i) {
        const std::string n = std::to_string(i);
        text.append("    int ").append(kWord).append(n).append("x, ").append(kWord).append(" = ").append(n);
        text.append("; // ").append(kWord).append("s\r\n    int b").append(n).append(" = 0;\r\n");
    }
    text += "}\r\n";
    return text;
}

LARGE_INTEGER okAt;

void CALLBACK ConfirmFind(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!IsWindowVisible(FindF->Handle())) return;
    KillTimer(nullptr, timer);
    SetWindowTextA(FindF->FindTextE, kWord);
    okAt = Now();
    SendMessageA(FindF->OkBB, BM_CLICK, 0, 0);
}

}  // namespace

int main() {
    ScriptedPrompts prompts;
    ScriptedPrompts::Scope scope(prompts);
    InitApplication();
    QPadF = new TQPadF();
    prompts.messageAnswers.push_back(IDOK);  // the SDK directory check, if it complains
    OptionsF = new TOptionsF();
    FindF = new TFindF(QPadF->Handle());
    QPadF->Show(SW_SHOWNORMAL);
    ProcessMessages();

    const std::string source = MakeSource(4 * 1024 * 1024);
    TRichEditQX& editor = *QPadF->SourceEdit();
    editor.SetText(source);
    ProcessMessages();
    HWND control = editor.Handle();
    const UINT searchAgain = QPadF->FindAction("EdSearchAgain")->id;
    const WORD fromAccelerator = 1;

    double program = 0, bare = 0, bareSelect = 0, findCommand = 0, findBare = 0;
    std::vector<int> programHits, bareHits;
    const int rounds = 3;
    for (int round = 0; round < rounds; ++round) {
        // The program: Find from the top through the dialog, then F3 until nothing more.
        programHits.clear();
        editor.SetSel(0, 0);
        ProcessMessages();
        SetTimer(nullptr, 0, 10, &ConfirmFind);
        SendMessageA(QPadF->Handle(), WM_COMMAND, MAKEWPARAM(QPadF->FindAction("EdFind")->id, 0), 0);
        LARGE_INTEGER t1 = Now();
        findCommand += Seconds(okAt, t1);
        programHits.push_back(editor.SelStart());
        for (;;) {
            const int before = editor.SelStart();
            SendMessageA(QPadF->Handle(), WM_COMMAND, MAKEWPARAM(searchAgain, fromAccelerator), 0);
            if (editor.SelStart() == before) break;
            programHits.push_back(editor.SelStart());
        }
        LARGE_INTEGER t2 = Now();
        program += Seconds(okAt, t2);

        // The control alone, the same ranges: from 0, then behind each match.
        bareHits.clear();
        const int length = static_cast<int>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0));
        LARGE_INTEGER b0 = Now();
        LARGE_INTEGER firstDone = b0;
        for (int start = 0;;) {
            FINDTEXTA find{{start, length}, kWord};
            const int found = static_cast<int>(SendMessageA(control, EM_FINDTEXT, 2, reinterpret_cast<LPARAM>(&find)));
            if (bareHits.empty()) firstDone = Now();
            if (found < 0) break;
            bareHits.push_back(found);
            start = found + static_cast<int>(sizeof kWord - 1);
        }
        LARGE_INTEGER b1 = Now();
        findBare += Seconds(b0, firstDone);
        bare += Seconds(b0, b1);

        // The control's search and then its selection of each match, as the
        // program must: the selection moves, scrolls, and the status bar follows.
        editor.SetSel(0, 0);
        LARGE_INTEGER s0 = Now();
        for (int start = 0;;) {
            FINDTEXTA find{{start, length}, kWord};
            const int found = static_cast<int>(SendMessageA(control, EM_FINDTEXT, 2, reinterpret_cast<LPARAM>(&find)));
            if (found < 0) break;
            editor.SetSel(found, found + static_cast<int>(sizeof kWord - 1));
            start = found + static_cast<int>(sizeof kWord - 1);
        }
        bareSelect += Seconds(s0, Now());
    }

    const bool same = programHits == bareHits && static_cast<int>(programHits.size()) == kOccurrences;
    printf("source: %zu bytes, \"%s\" as a whole word %d times near the end; same matches: %s\n", source.size(),
           kWord, static_cast<int>(programHits.size()), same ? "yes" : "NO");
    printf("Find (OK to selection), %d rounds:      %.3f s   bare EM_FINDTEXT: %.3f s   ratio %.3f\n", rounds,
           findCommand, findBare, findCommand / findBare);
    printf("Find + F3 to the end, %d rounds:         %.3f s   bare EM_FINDTEXT: %.3f s   ratio %.3f\n", rounds,
           program, bare, program / bare);
    printf("  bare EM_FINDTEXT and selecting each match: %.3f s   ratio %.3f\n", bareSelect, program / bareSelect);

    delete FindF;
    delete OptionsF;
    delete QPadF;
    return same ? 0 : 1;
}
