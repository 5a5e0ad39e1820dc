// FakeDialogs.h: a dialog seam that answers from a script and records questions.
#ifndef QUENLO_TESTS_APP_FAKEDIALOGS_H
#define QUENLO_TESTS_APP_FAKEDIALOGS_H

#include <deque>
#include <optional>

#include "toolkit/Dialogs.h"

class TFakeDialogs : public IDialogs {
public:
    using IDialogs::MessageDlg;
    int MessageDlg(const QString &text, TMsgDlgType type, int buttons, int defaultButton) override
    {
        messages << text;
        types.push_back(type);
        lastButtons = buttons;
        lastDefault = defaultButton;
        if (answers.empty())
            return (buttons & mbOK) ? mrOk : mrYes;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<QString> OpenFileName(const TFileDialogOptions &options) override { return Answer(options); }
    std::optional<QString> SaveFileName(const TFileDialogOptions &options) override { return Answer(options); }

    QStringList messages;
    std::vector<TMsgDlgType> types;
    int lastButtons = 0;
    int lastDefault = 0;
    std::deque<int> answers;                   // message box results, in order
    std::deque<std::optional<QString>> files;  // file dialog results; nothing = cancel
    std::vector<TFileDialogOptions> fileDialogs;

private:
    std::optional<QString> Answer(const TFileDialogOptions &options)
    {
        fileDialogs.push_back(options);
        if (files.empty())
            return std::nullopt;
        std::optional<QString> f;
        f.swap(files.front());
        files.pop_front();
        return f;
    }
};

#endif
