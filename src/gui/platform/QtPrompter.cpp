#include "platform/QtPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace {
// The dialog belongs to the window the user is working in: a dialog already open, else the
// active window (the main window, the web link dialog, the about box).
QWidget* dialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// The name a screen reader gives a box: its title, or the program's name where the title is
// blank.
QString readableTitle(const QString& title)
{
    return title.trimmed().isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

// "\r" is the program's line break; the dialogs take "\n".
QString lineBreaks(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
} // namespace

MsgAnswer QtPrompter::message(const QString& text, const QString& title, MsgButtons buttons,
                              MsgIcon icon)
{
    QMessageBox box(dialogParent());
    box.setText(lineBreaks(text));
    box.setTextFormat(Qt::PlainText);
    // An empty title stays empty rather than taking the application's name; a screen reader
    // still names the box after the program that asks.
    box.setWindowTitle(title.isEmpty() ? QStringLiteral(" ") : title);
    box.setAccessibleName(readableTitle(title));
    QString iconName; // what the picture says, for those who cannot see it
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        iconName = QStringLiteral("Question");
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        iconName = QStringLiteral("Warning");
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        iconName = QStringLiteral("Error");
        break;
    }
    if (auto* picture = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label")))
        picture->setAccessibleName(iconName);
    if (buttons != MsgButtons::Ok) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(buttons == MsgButtons::YesNo ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    return result == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

QString QtPrompter::inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText)
{
    QInputDialog dialog(dialogParent());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(lineBreaks(prompt));
    // An empty or blank title stays as it is rather than taking the application's name; a
    // screen reader still names the box after the program that asks.
    dialog.setWindowTitle(title.isEmpty() ? QStringLiteral(" ") : title);
    dialog.setAccessibleName(readableTitle(title));
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

QStringList QtPrompter::toNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& text = parts[i];
        // The dialog takes its patterns from the parentheses of the text, separated by blanks
        // where the filter separates them by semicolons.
        const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        result.append(text.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')'))
                          ? text
                          : text + QLatin1String(" (") + pattern + QLatin1Char(')'));
    }
    return result;
}

bool QtPrompter::openFile(const OpenFileRequest& request, QString* chosen)
{
    QFileDialog dialog(dialogParent(), request.title, request.initialFolder);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = toNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    // Data files come from Windows machines too: PLOT.FPL is a fuel profile as much as plot.fpl.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    if (chosen)
        *chosen = QDir::toNativeSeparators(dialog.selectedFiles().first());
    return true;
}
