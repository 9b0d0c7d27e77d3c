#pragma once
// Answers the program's modal prompts from a script and records what was asked.
// Install with ScriptedPrompts::Scope in a test; an unexpected prompt fails the
// test and answers Cancel, so a test never hangs on a real box.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "Prompts.h"

class ScriptedPrompts : public IPrompts {
public:
    struct MessageCall {
        std::string text, caption;
        UINT type;
    };

    std::vector<MessageCall> messages;            // every box shown, in order
    std::vector<FileDialogRequest> fileDialogs;   // every dialog shown, as asked
    std::deque<int> messageAnswers;               // IDYES, IDNO, ...
    std::deque<std::string> fileAnswers;          // a path, or "" for Cancel

    int Message(HWND, const std::string& text, const std::string& caption,
                UINT type) override {
        messages.push_back({text, caption, type});
        if (messageAnswers.empty()) {
            ADD_FAILURE() << "unexpected message box: " << caption << ": " << text;
            return IDCANCEL;
        }
        int answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }

    bool FileDialog(HWND, FileDialogRequest& request) override {
        fileDialogs.push_back(request);
        if (fileAnswers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return false;
        }
        std::string answer = fileAnswers.front();
        fileAnswers.pop_front();
        if (answer.empty()) return false;
        request.fileName = answer;
        return true;
    }

    // Installs the script for the lifetime of the scope.
    struct Scope {
        explicit Scope(ScriptedPrompts& p) { SetPrompts(&p); }
        ~Scope() { SetPrompts(nullptr); }
    };
};
