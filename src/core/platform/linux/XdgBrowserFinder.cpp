#ifndef _WIN32

// GLib's headers first: Qt's keyword macros (signals, slots) would change them.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "platform/linux/XdgBrowserFinder.h"

#include <cerrno>

#include "base/Paths.h"
#include "platform/linux/Spawn.h"

#include <memory>
#include <utility>

namespace {

struct GObjectUnref {
    void operator()(gpointer p) const { g_object_unref(p); }
};
struct GFree {
    void operator()(gpointer p) const { g_free(p); }
};
using AppInfo = std::unique_ptr<GAppInfo, GObjectUnref>;
using GText = std::unique_ptr<gchar, GFree>;

// "%s" becomes the address and "%%" a percent sign, in one pass so that the address is never
// rescanned.
QByteArray substituteUrl(const QByteArray& word, const QByteArray& url, bool* placed)
{
    QByteArray out;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const char next = i + 1 < word.size() ? word[i + 1] : '\0';
        if (word[i] == '%' && (next == 's' || next == '%')) {
            out += next == 's' ? url : QByteArray("%");
            *placed = *placed || next == 's';
            ++i;
        } else {
            out += word[i];
        }
    }
    return out;
}

// $BROWSER: commands separated by ":", each split into words as a shell splits them; the first
// whose program is installed is taken. "%s" stands for the address, which otherwise comes last.
std::optional<QList<QByteArray>> fromBrowserVariable(const QByteArray& url)
{
    for (const QByteArray& entry : qgetenv("BROWSER").split(':')) {
        int count = 0;
        gchar** words = nullptr;
        if (!g_shell_parse_argv(entry.constData(), &count, &words, nullptr))
            continue; // blank, or an open quote
        const GText program(g_find_program_in_path(words[0]));
        QList<QByteArray> argv{QByteArray(program.get())};
        bool placed = false;
        for (int i = 1; i < count; ++i)
            argv.append(substituteUrl(words[i], url, &placed));
        g_strfreev(words);
        if (!program)
            continue; // not installed: the next entry may be
        if (!placed)
            argv.append(url);
        return argv;
    }
    return std::nullopt;
}

bool namesType(GAppInfo* app, const char* type)
{
    for (const char** t = g_app_info_get_supported_types(app); t && *t; ++t) {
        if (g_content_type_equals(*t, type))
            return true;
    }
    return false;
}

AppInfo defaultBrowser()
{
    for (const char* type : {"x-scheme-handler/https", "x-scheme-handler/http", "text/html"}) {
        AppInfo app(g_app_info_get_default_for_type(type, TRUE));
        // Where a type has no application of its own, GIO takes one of its parent type's, and
        // HTML's parent is plain text: a text editor is no browser. Schemes have no parents.
        if (app && (g_str_has_prefix(type, "x-scheme-handler/") || namesType(app.get(), type)))
            return app;
    }
    return nullptr;
}

// GIO gives a file: address to a %u as the file's path, a query becoming part of the name,
// unless the entry says X-GIO-NoFuse: a copy of the entry that says so takes the address as it
// stands.
AppInfo takingAddressAsGiven(AppInfo app, const QByteArray& url)
{
    if (!url.toLower().startsWith("file:") || !G_IS_DESKTOP_APP_INFO(app.get()))
        return app;
    GKeyFile* keys = g_key_file_new();
    const char* file = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(app.get()));
    if (file && g_key_file_load_from_file(keys, file, G_KEY_FILE_KEEP_TRANSLATIONS, nullptr)) {
        g_key_file_set_boolean(keys, G_KEY_FILE_DESKTOP_GROUP, "X-GIO-NoFuse", TRUE);
        if (GDesktopAppInfo* copy = g_desktop_app_info_new_from_keyfile(keys))
            app.reset(G_APP_INFO(copy));
    }
    g_key_file_unref(keys);
    return app;
}

// Starts `app` on `uris` or `files` (one of them), with the activation token in the environment
// of what it starts, under both names: Wayland programs read the first, X11 programs the second.
std::optional<FileResult> launch(GAppInfo* app, const QByteArray& token, GList* uris, GList* files)
{
    const std::unique_ptr<GAppLaunchContext, GObjectUnref> context(g_app_launch_context_new());
    if (!token.isEmpty()) {
        g_app_launch_context_setenv(context.get(), "XDG_ACTIVATION_TOKEN", token.constData());
        g_app_launch_context_setenv(context.get(), "DESKTOP_STARTUP_ID", token.constData());
    }
    GError* error = nullptr;
    const bool started = uris ? g_app_info_launch_uris(app, uris, context.get(), &error)
                              : g_app_info_launch(app, files, context.get(), &error);
    if (started)
        return FileResult::success();
    // GLib's errors name no errno; the message shows the nearest one, and GLib's own text.
    int number = ENOEXEC;
    if (error && error->domain == G_SPAWN_ERROR) {
        switch (error->code) {
        case G_SPAWN_ERROR_NOENT:
            number = ENOENT;
            break;
        case G_SPAWN_ERROR_ACCES:
            number = EACCES;
            break;
        case G_SPAWN_ERROR_CHDIR:
            number = ENOENT;
            break;
        case G_SPAWN_ERROR_NOMEM:
            number = ENOMEM;
            break;
        case G_SPAWN_ERROR_TOO_BIG:
            number = E2BIG;
            break;
        default:
            break;
        }
    }
    const QString why = QString::fromUtf8(error ? error->message : "");
    g_clear_error(&error);
    return FileResult::failure(number, why);
}

} // namespace

XdgBrowserFinder::XdgBrowserFinder(QByteArray activationToken)
    : m_token(std::move(activationToken))
{}

std::optional<FileResult> XdgBrowserFinder::openPage(const QString& url)
{
    if (const auto argv = fromBrowserVariable(url.toLocal8Bit()))
        return spawnDetached(*argv);
    if (AppInfo app = defaultBrowser()) {
        QByteArray address = url.toUtf8();
        app = takingAddressAsGiven(std::move(app), address);
        GList uris{address.data(), nullptr, nullptr};
        return launch(app.get(), m_token, &uris, nullptr);
    }
    // Debian's choice of browser, for a machine whose browsers have no desktop entries.
    if (const GText alternative{g_find_program_in_path("x-www-browser")})
        return spawnDetached({QByteArray(alternative.get()), url.toLocal8Bit()});
    return std::nullopt;
}

std::optional<FileResult> XdgBrowserFinder::openFolder(const QString& folder)
{
    const AppInfo app(g_app_info_get_default_for_type("inode/directory", FALSE));
    if (!app)
        return std::nullopt;
    GFile* file = g_file_new_for_path(paths::toNativeBytes(folder).constData());
    GList files{file, nullptr, nullptr};
    std::optional<FileResult> started = launch(app.get(), m_token, nullptr, &files);
    g_object_unref(file);
    return started;
}

QString XdgBrowserFinder::browserId()
{
    const AppInfo app = defaultBrowser();
    return app ? QString::fromUtf8(g_app_info_get_id(app.get())) : QString();
}

#endif
