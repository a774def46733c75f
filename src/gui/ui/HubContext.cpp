#include "ui/HubContext.h"

#include "platform/DriveTable.h"

#include "base/Program.h"
#include "platform/Prompter.h"

void HubContext::notice(const QString& text) const
{
    prompter().message(text, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
}

bool HubContext::ask(const QString& text) const
{
    return prompter().message(text, kProgramTitle, MsgButtons::YesNo, MsgIcon::Exclamation) ==
           MsgAnswer::Yes;
}

bool HubContext::askDefaultNo(const QString& text) const
{
    return prompter().message(text, kProgramTitle, MsgButtons::YesNoDefaultNo,
                              MsgIcon::Exclamation) == MsgAnswer::Yes;
}

void HubContext::critical(const QString& text) const
{
    prompter().message(text, kProgramTitle, MsgButtons::Ok, MsgIcon::Critical);
}

void HubContext::fileFailure(const QString& what, const FileResult& failure) const
{
    notice(failure.message(what));
}

work::Line HubContext::lineOf(const QString& path) const
{
    return work::Line::drive(drives().driveOf(path));
}
