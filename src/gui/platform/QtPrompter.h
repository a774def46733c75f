#pragma once

#include "platform/Prompter.h"

// Message boxes and Qt's own file dialog (not the desktop's, so it behaves alike everywhere),
// each over the window the user is working in.
class QtPrompter : public Prompter {
public:
    MsgAnswer message(const QString& text, const QString& title, MsgButtons buttons,
                      MsgIcon icon) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    bool openFile(const OpenFileRequest& request, QString* chosen) override;

    // "text|pattern|text|pattern" as the file dialog's name filters.
    static QStringList toNameFilters(const QString& filter);
};
