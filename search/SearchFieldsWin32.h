#pragma once
// What the find and the replace dialog have alike: the text to find and the
// match case and whole word boxes, read the same way in both. Each dialog
// creates these controls itself, in its own order and with its own captions.
#include <windows.h>

#include <string>

#include "RichEditQX.h"

struct TSearchFields {
    HWND FindTextE = nullptr, CaseSensCB = nullptr, WordsCB = nullptr;

    std::string TextToFind() const;
    TSearchTypes SearchOptions() const;

protected:
    // On show: the last text stays, selected, so typing replaces it and Enter repeats it.
    void FocusTextToFind() const;
};
