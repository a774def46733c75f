#pragma once

#include "base/FileResult.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// What a shortcut file holds for us.
struct ShortcutData {
    QString targetPath;
    QString workingFolder;
    QString argumentText;
    QString iconFile;
    qint32 iconIndex = 0; // the first number
    qint32 hotKey = 0;    // the second number (its low 16 bits are stored)
    bool operator==(const ShortcutData&) const = default;
};

// Writes and reads shortcut files in the Windows shell-link (.lnk) binary format, so that the
// files work on Windows and in every program that reads that format. Reading treats every
// length and offset in the file as untrusted.
class ShortcutHelper {
public:
    // Puts a shortcut file's bytes at its path, or says why not.
    using Writer = std::function<FileResult(const QString& file, const QByteArray& bytes)>;

    // Without a writer, a shortcut is written to a temporary file in its folder and renamed into
    // place, so a crash never leaves half a shortcut.
    ShortcutHelper() = default;
    explicit ShortcutHelper(Writer write)
        : m_write(std::move(write))
    {}

    // Both take the same seven arguments by reference.
    FileResult CreateShortcut(QString& shortcutFile, QString& targetPath, QString& workingFolder,
                              QString& argumentText, QString& iconFile, qint32& number1,
                              qint32& number2);
    FileResult ReadShortcut(QString& shortcutFile, QString& targetPath, QString& workingFolder,
                            QString& argumentText, QString& iconFile, qint32& number1,
                            qint32& number2);

    // The file format itself.
    static std::optional<QByteArray> encode(const ShortcutData& data, QString* error = nullptr);
    static std::optional<ShortcutData> decode(const QByteArray& file, QString* error = nullptr);

private:
    Writer m_write;
};
