#include "lists/HubState.h"

#include "base/Paths.h"

#include <cerrno>
#include <QDir>

namespace {
constexpr int kFields = 5;

QString folderOr(QString folder)
{
    return folder.isEmpty() ? HubState::userStateFolder() : folder;
}
} // namespace

HubState::HubState(QString folder)
    : m_file(paths::join(folderOr(folder), QStringLiteral("state.txt")),
             paths::join(folderOr(folder), QStringLiteral("state.tmp")), kFields)
{}

QString HubState::userStateFolder()
{
#ifdef Q_OS_WIN
    QString base = qEnvironmentVariable("LOCALAPPDATA");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/AppData/Local");
    return QDir::toNativeSeparators(base + QStringLiteral("/Keldara"));
#else
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/keldara");
#endif
}

ListContents<StateRecord> HubState::read() const
{
    return readRecords<StateRecord>(path(), kFields, [](const records::RecordView& r) {
        return StateRecord{r.field(0), r.field(1), r.field(2), r.field(3), r.field(4)};
    });
}

FileResult HubState::update(const QStringList& kinds,
                            const std::function<void(QList<StateRecord>& records)>& edit)
{
    QString folder;
    SplitPath(path(), nullptr, &folder);
    if (!QDir().mkpath(folder))
        return FileResult::fromErrno(EACCES);
    return m_file.rewrite([&](records::Document& doc, bool) {
        QList<StateRecord> before;
        for (const records::Line& l : doc.lines()) {
            if (l.isRecord() && kinds.contains(l.field(0)))
                before.append({l.field(0), l.field(1), l.field(2), l.field(3), l.field(4)});
        }
        QList<StateRecord> after = before;
        edit(after);
        if (after == before)
            return FileResult();
        doc.removeRecordsIf([&](const records::Line& l) { return kinds.contains(l.field(0)); });
        for (const StateRecord& r : after) {
            if (!doc.append({r.kind, r.key, r.name, r.value, r.seen}))
                return unstorableName();
        }
        return FileResult();
    });
}
