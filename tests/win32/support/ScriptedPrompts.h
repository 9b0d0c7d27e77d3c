#pragma once
// Answers the program's modal prompts from a script and records what was asked.
// Install with ScriptedPrompts::Scope in a test; an unexpected prompt fails the
// test and answers Cancel, so a test never hangs on a real box.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "Prompts.h"

class ScriptedPrompts : public IPrompts {
public:
    struct MessageCall {
        std::string text, caption;
        UINT type;
        HWND owner;
    };
    // A font dialog's answer: nullopt for Cancel.
    struct FontAnswer {
        LOGFONTA font;
        COLORREF color;
    };

    std::vector<MessageCall> messages;            // every box shown, in order
    std::vector<FileDialogRequest> fileDialogs;   // every dialog shown, as asked
    std::deque<int> messageAnswers;               // IDYES, IDNO, ...
    std::deque<std::string> fileAnswers;          // a path, or "" for Cancel
    std::vector<FolderDialogRequest> folderDialogs;
    std::vector<HWND> folderOwners;
    std::deque<std::string> folderAnswers;        // a folder, or "" for Cancel
    std::vector<FontDialogRequest> fontDialogs;
    std::deque<std::optional<FontAnswer>> fontAnswers;

    int Message(HWND owner, const std::string& text, const std::string& caption,
                UINT type) override {
        messages.push_back({text, caption, type, owner});
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

    bool ChooseFolder(HWND owner, FolderDialogRequest& request) override {
        folderDialogs.push_back(request);
        folderOwners.push_back(owner);
        if (folderAnswers.empty()) {
            ADD_FAILURE() << "unexpected folder dialog";
            return false;
        }
        std::string answer = folderAnswers.front();
        folderAnswers.pop_front();
        if (answer.empty()) return false;
        request.directory = answer;
        return true;
    }

    bool FontDialog(HWND, FontDialogRequest& request) override {
        fontDialogs.push_back(request);
        if (fontAnswers.empty()) {
            ADD_FAILURE() << "unexpected font dialog";
            return false;
        }
        std::optional<FontAnswer> answer = fontAnswers.front();
        fontAnswers.pop_front();
        if (!answer) return false;
        request.logFont = answer->font;
        request.color = answer->color;
        return true;
    }

    // Installs the script for the lifetime of the scope.
    struct Scope {
        explicit Scope(ScriptedPrompts& p) { SetPrompts(&p); }
        ~Scope() { SetPrompts(nullptr); }
    };
};
