#pragma once

#include <QString>

// YesNoDefaultNo: a question whose careless Enter must not do what it asks.
enum class MsgButtons { Ok, YesNo, YesNoDefaultNo };
enum class MsgIcon { None, Question, Exclamation, Critical };
enum class MsgAnswer { Ok, Yes, No };

// What the open-file dialog is asked to show. The filter is in the "text|pattern|text|pattern"
// form; `filterIndex` is 1-based like the dialog's own numbering.
struct OpenFileRequest {
    QString title;
    QString filter;
    int filterIndex = 1;
    QString initialFolder;
    QString initialName;
};

// Everything that waits for the user: message boxes, the input box and the file dialogs.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A "\r" in `text` is a line break.
    virtual MsgAnswer message(const QString& text, const QString& title, MsgButtons buttons,
                              MsgIcon icon) = 0;

    // An input box: the typed answer, or the empty text when the user cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;

    // Returns true with the chosen full path in `chosen`, or false when the user cancelled.
    virtual bool openFile(const OpenFileRequest& request, QString* chosen) = 0;
};
