#include "platform/linux/DesktopEntry.h"

#include <QFile>

#include <utility>

namespace xdg {

std::optional<KeyFile> KeyFile::load(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parse(f.readAll());
}

KeyFile KeyFile::parse(const QByteArray& data)
{
    KeyFile file;
    for (const QByteArray& rawLine : data.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            file.m_groups.append({line.mid(1, line.size() - 2), {}});
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        // Keys before the first group belong to none and are ignored, as are lines without "=".
        if (eq <= 0 || file.m_groups.isEmpty())
            continue;
        file.m_groups.last().second.append({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return file;
}

QString KeyFile::value(const QString& group, const QString& key, Qt::CaseSensitivity cs) const
{
    // A group may appear more than once; its keys then read as one group, the first one winning.
    for (const auto& g : m_groups) {
        if (g.first != group)
            continue;
        for (const auto& entry : g.second) {
            if (entry.first.compare(key, cs) == 0)
                return entry.second;
        }
    }
    return {};
}

bool KeyFile::hasGroup(const QString& group) const
{
    for (const auto& g : m_groups) {
        if (g.first == group)
            return true;
    }
    return false;
}

QString unescapeValue(const QString& raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != QLatin1Char('\\') || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const QChar next = raw[i + 1];
        switch (next.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        default:
            out += c;
            continue; // not an escape: the backslash stays, the next char follows
        }
        ++i;
    }
    return out;
}

QStringList splitListValue(const QString& raw)
{
    QStringList out;
    QString current;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == QLatin1Char('\\') && i + 1 < raw.size() && raw[i + 1] == QLatin1Char(';')) {
            current += QLatin1Char(';');
            ++i;
        } else if (raw[i] == QLatin1Char(';')) {
            out.append(current.trimmed());
            current.clear();
        } else {
            current += raw[i];
        }
    }
    out.append(current.trimmed());
    out.removeAll(QString());
    return out;
}

namespace {

struct Word {
    QString text;
    bool quoted = false;
};

// Splits at blanks; a double-quoted part is taken whole, with \" \` \$ \\ inside it standing for
// the character. Other characters, the ones the format wants quoted included, are taken as they
// stand, as the launchers in use do.
std::optional<QList<Word>> splitWords(const QString& line)
{
    static const QString quotable = QStringLiteral("\"`$\\");
    QList<Word> words;
    Word current;
    bool inWord = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
            if (inWord)
                words.append(std::exchange(current, Word{}));
            inWord = false;
            continue;
        }
        inWord = true;
        if (c != QLatin1Char('"')) {
            current.text += c;
            continue;
        }
        current.quoted = true;
        bool closed = false;
        for (++i; i < line.size(); ++i) {
            const QChar d = line[i];
            if (d == QLatin1Char('"')) {
                closed = true;
                break;
            }
            if (d == QLatin1Char('\\') && i + 1 < line.size() && quotable.contains(line[i + 1]))
                current.text += line[++i];
            else
                current.text += d;
        }
        if (!closed)
            return std::nullopt;
    }
    if (inWord)
        words.append(current);
    return words;
}

bool isDeprecatedCode(QChar c)
{
    return QStringLiteral("dDnNvm").contains(c);
}

bool isTargetCode(QChar c)
{
    return QStringLiteral("fFuU").contains(c);
}

} // namespace

std::optional<QStringList> expandExec(const QString& exec, const ExecFields& fields)
{
    const std::optional<QList<Word>> words = splitWords(exec);
    if (!words || words->isEmpty())
        return std::nullopt;
    // The program is named by the line itself, never by what a code expands to.
    if (QString(words->first().text).remove(QStringLiteral("%%")).contains(QLatin1Char('%')))
        return std::nullopt;

    bool placed = false;
    // The target goes to the first code that takes it; a web address is no local file.
    auto takesTarget = [&](QChar code) {
        const bool takes = !placed && (code == QLatin1Char('u') || code == QLatin1Char('U') ||
                                       !fields.targetIsUrl);
        placed = placed || takes;
        return takes;
    };

    QStringList args;
    for (const Word& word : *words) {
        const QString& w = word.text;
        // A code standing alone as an unquoted argument may become no argument, or two.
        if (!word.quoted && w.size() == 2 && w[0] == QLatin1Char('%')) {
            const QChar code = w[1];
            if (isTargetCode(code)) {
                if (takesTarget(code))
                    args.append(fields.target);
                continue;
            }
            if (code == QLatin1Char('i')) {
                if (!fields.icon.isEmpty())
                    args << QStringLiteral("--icon") << fields.icon;
                continue;
            }
            if (isDeprecatedCode(code))
                continue;
        }
        QString out;
        for (qsizetype i = 0; i < w.size(); ++i) {
            if (w[i] != QLatin1Char('%')) {
                out += w[i];
                continue;
            }
            if (++i == w.size())
                return std::nullopt;
            const QChar code = w[i];
            if (code == QLatin1Char('%'))
                out += QLatin1Char('%');
            else if (isTargetCode(code))
                out += takesTarget(code) ? fields.target : QString();
            else if (code == QLatin1Char('c'))
                out += fields.name;
            else if (code == QLatin1Char('k'))
                out += fields.location;
            else if (code != QLatin1Char('i') && !isDeprecatedCode(code))
                return std::nullopt; // a code the format does not know: the line is invalid
        }
        args.append(out);
    }
    if (!placed || args.first().isEmpty())
        return std::nullopt;
    return args;
}

namespace {

// The Name for `locale`: Name[lang_COUNTRY@MODIFIER], Name[lang_COUNTRY], Name[lang@MODIFIER],
// Name[lang], then Name.
QString localizedValue(const KeyFile& file, const QString& group, const QString& key,
                       const QString& locale)
{
    QString lang = locale.section(QLatin1Char('@'), 0, 0).section(QLatin1Char('.'), 0, 0);
    const QString modifier = locale.section(QLatin1Char('@'), 1);
    const QString country = lang.section(QLatin1Char('_'), 1);
    lang = lang.section(QLatin1Char('_'), 0, 0);
    QStringList candidates;
    if (!lang.isEmpty() && lang != QLatin1String("C") && lang != QLatin1String("POSIX")) {
        const QString mod = QLatin1Char('@') + modifier;
        const QString full = lang + QLatin1Char('_') + country;
        if (!country.isEmpty() && !modifier.isEmpty())
            candidates << full + mod;
        if (!country.isEmpty())
            candidates << full;
        if (!modifier.isEmpty())
            candidates << lang + mod;
        candidates << lang;
    }
    for (const QString& c : candidates) {
        const QString v = file.value(group, key + QLatin1Char('[') + c + QLatin1Char(']'));
        if (!v.isEmpty())
            return v;
    }
    return file.value(group, key);
}

} // namespace

std::optional<DesktopEntry> loadDesktopEntry(const QString& path, const QString& locale)
{
    const std::optional<KeyFile> file = KeyFile::load(path);
    const QString group = QStringLiteral("Desktop Entry");
    if (!file || !file->hasGroup(group))
        return std::nullopt;
    auto get = [&](const char* key) {
        return unescapeValue(file->value(group, QLatin1String(key)));
    };
    DesktopEntry e;
    e.path = path;
    e.type = get("Type");
    e.exec = get("Exec");
    e.tryExec = get("TryExec");
    e.icon = get("Icon");
    e.name = unescapeValue(localizedValue(*file, group, QStringLiteral("Name"), locale));
    e.hidden = get("Hidden") == QLatin1String("true");
    e.terminal = get("Terminal") == QLatin1String("true");
    return e;
}

} // namespace xdg
