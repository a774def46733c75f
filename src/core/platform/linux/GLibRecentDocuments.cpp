#ifndef _WIN32

// GLib's headers first: Qt's keyword macros (signals, slots) would change them.
#include <gio/gio.h>
#include <glib.h>

#include "platform/linux/GLibRecentDocuments.h"

#include "base/Paths.h"

#include <QFile>
#include <QFileInfo>

#include <memory>
#include <mutex>

namespace {

struct GFree {
    void operator()(void* p) const { g_free(p); }
};
using GText = std::unique_ptr<gchar, GFree>;

struct BookmarkFileFree {
    void operator()(GBookmarkFile* f) const { g_bookmark_file_free(f); }
};

FileResult failure(const QString& listPath, const QString& why, GError* error)
{
    const QString reason = error ? QString::fromUtf8(error->message) : QString();
    if (error)
        g_error_free(error);
    return FileResult::failure(
        0, QStringLiteral("The recent files list ") + listPath + QLatin1Char(' ') + why +
               (reason.isEmpty() ? QString() : QStringLiteral(": ")) + reason);
}

// The command line as a desktop reads a bookmark's "exec": "%" begins a field code there.
QByteArray execText(const QString& command)
{
    QByteArray exec = command.toUtf8();
    exec.replace('%', "%%");
    return exec;
}

} // namespace

GLibRecentDocuments::GLibRecentDocuments(QString listPath, std::function<bool()> remember)
    : m_listPath(std::move(listPath))
    , m_remember(remember ? std::move(remember) : &desktopRemembersRecentFiles)
{}

bool GLibRecentDocuments::desktopRemembersRecentFiles()
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source)
        return true;
    GSettingsSchema* schema =
        g_settings_schema_source_lookup(source, "org.gnome.desktop.privacy", TRUE);
    if (!schema)
        return true;
    bool remember = true;
    if (g_settings_schema_has_key(schema, "remember-recent-files")) {
        GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
        remember = g_settings_get_boolean(settings, "remember-recent-files");
        g_object_unref(settings);
    }
    g_settings_schema_unref(schema);
    return remember;
}

FileResult GLibRecentDocuments::add(const Document& document)
{
    if (!m_remember())
        return {};
    const QString listPath = m_listPath.isEmpty() ? QFile::decodeName(g_get_user_data_dir()) +
                                                        QStringLiteral("/recently-used.xbel")
                                                  : m_listPath;
    const QByteArray file = QFile::encodeName(listPath);
    // Two adds at once, from two threads, would each write the list without the other's entry.
    static std::mutex oneAtATime;
    const std::lock_guard lock(oneAtATime);
    std::unique_ptr<GBookmarkFile, BookmarkFileFree> list(g_bookmark_file_new());
    GError* error = nullptr;
    if (!g_bookmark_file_load_from_file(list.get(), file.constData(), &error)) {
        // Only a list that is not there yet is begun anew; one that cannot be read whole stays.
        if (!g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT))
            return failure(listPath, QStringLiteral("can not be read"), error);
        g_clear_error(&error);
    }

    const GText uri(
        g_filename_to_uri(paths::toNativeBytes(document.path).constData(), nullptr, &error));
    if (!uri)
        return failure(listPath, QStringLiteral("can not take ") + document.path, error);
    g_bookmark_file_set_mime_type(list.get(), uri.get(), document.mimeType.toUtf8().constData());
    g_bookmark_file_add_application(list.get(), uri.get(),
                                    document.application.toUtf8().constData(),
                                    execText(document.command).constData());

    gsize length = 0;
    const GText data(g_bookmark_file_to_data(list.get(), &length, &error));
    if (!data)
        return failure(listPath, QStringLiteral("can not be written"), error);
    const GText folder(g_path_get_dirname(file.constData()));
    g_mkdir_with_parents(folder.get(), 0700);
    // Replaced in one step, readable by the user alone, as the desktop keeps it.
    if (!g_file_set_contents_full(file.constData(), data.get(), gssize(length),
                                  G_FILE_SET_CONTENTS_CONSISTENT, 0600, &error))
        return failure(listPath, QStringLiteral("can not be written"), error);
    return {};
}

#endif
