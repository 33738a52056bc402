#pragma once
// The names a listing shows for the related archive and field of its items.
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>
#include <utility>

#include "common/SessionNames.h"

namespace catalogue {

// Finds the shown names of related archives and fields: once per distinct (archive, field)
// pair, or for a whole listing at once.
class RelatedArchiveNames {
public:
    // `session`: the names a fill has read already; without them they are read at first use.
    explicit RelatedArchiveNames(QString accountId,
                                 std::optional<userdef::SessionNames> session = std::nullopt)
        : m_accountId(std::move(accountId)), m_session(std::move(session)) {}
    // The shown (archive, field) of stored ones: a report archive's name and field, a
    // user-defined reference's name and column caption, in the session's language where the
    // account has them; else the stored texts.
    QPair<QString, QString> resolve(const QString& archive, const QString& field);
    // Finds the names of all these pairs at once, in at most three statements (reports,
    // references, reference captions), so that a listing costs the same however many related
    // archives it shows; resolve() then answers from what was read.
    void prefetch(const QList<QPair<QString, QString>>& pairs);
    int statementsRun() const { return m_statements; }

private:
    QString m_accountId;
    std::optional<userdef::SessionNames> m_session;
    QHash<QPair<QString, QString>, QPair<QString, QString>> m_cache;
    int m_statements = 0;
};

}  // namespace catalogue
