#include "SearchFieldsWin32.h"

#include "ControlsWin32.h"

std::string TSearchFields::TextToFind() const { return ControlText(FindTextE); }

TSearchTypes TSearchFields::SearchOptions() const {
    TSearchTypes options;
    options.MatchCase = IsChecked(CaseSensCB);
    options.WholeWord = IsChecked(WordsCB);
    return options;
}

void TSearchFields::FocusTextToFind() const {
    SetFocus(FindTextE);
    SendMessageA(FindTextE, EM_SETSEL, 0, -1);
}
