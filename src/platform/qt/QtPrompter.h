#pragma once

#include "platform/Prompter.h"

class QWidget;

// Message boxes and Qt's own file dialog (not the desktop's, so it behaves alike everywhere).
class QtPrompter : public Prompter {
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    MsgAnswer message(const QString& text, const QString& title, MsgButtons buttons,
                      MsgIcon icon) override;
    bool openFile(const OpenFileRequest& request, QString* chosen) override;

    // "text|pattern|text|pattern" as the file dialog's name filters.
    static QStringList toNameFilters(const QString& filter);

private:
    QWidget* m_parent = nullptr;
};
