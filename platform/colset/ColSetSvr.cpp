#include "platform/colset/ColSetSvr.h"

#include <QLoggingCategory>

#include "host/Quote.h"
#include "platform/db/Collation.h"
#include "platform/db/Database.h"
#include "platform/sql/ConnectionText.h"

Q_LOGGING_CATEGORY(lcColSet, "userdef.colset", QtCriticalMsg)

namespace platform::colset {

namespace {

const QString kEmpty = QStringLiteral("<Q9ColSet><Data></Data></Q9ColSet>");

QString attribute(const char* name, const QString& value) {
    return QLatin1Char(' ') + QLatin1String(name) + QStringLiteral("=\"") + host::xmlText(value) +
           QLatin1Char('"');
}

}  // namespace

ColSetSvr::ColSetSvr() = default;
ColSetSvr::~ColSetSvr() = default;

void ColSetSvr::init(const QString& connectionText, const QString& userId) {
    m_db.reset();
    m_userId = userId;
    m_error.clear();
    const auto text = sql::ConnectionText::parse(connectionText);
    if (!text) {
        m_error = QStringLiteral("not a connection text: %1").arg(connectionText);
        qCWarning(lcColSet) << m_error;
        return;
    }
    const QString path = text->metaPath.isEmpty() ? text->dataSource : text->metaPath;
    m_db = db::Database::open(path, false, &m_error);
    if (!m_db) qCWarning(lcColSet) << "cannot open" << path << ":" << m_error;
}

QString ColSetSvr::getColInfo(const QString& refKey, const QString& filter, bool all) {
    if (!m_db) {
        if (m_error.isEmpty()) m_error = QStringLiteral("the column-setting service is not open");
        return kEmpty;
    }
    QString sql = QStringLiteral(
        "SELECT cFld, cCaption, cQryField, iColWidth, bDisp, iOrder FROM AA_ColumnDic "
        "WHERE cKey = ?1");
    if (!all) sql += QStringLiteral(" AND bDisp <> 0");
    sql += QStringLiteral(" ORDER BY iOrder, cFld COLLATE ") + QString::fromLatin1(db::kTextOrder);
    auto rows = m_db->query(sql, {refKey.trimmed()}, &m_error);
    if (!rows) {
        qCWarning(lcColSet) << "getColInfo" << refKey << ":" << m_error;
        return kEmpty;
    }
    m_error.clear();

    QStringList wanted;
    for (const QString& f : filter.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!f.trimmed().isEmpty()) wanted << f.trimmed().toLower();

    QString xml = QStringLiteral("<Q9ColSet><Data>");
    for (int r = 0; r < rows->recordCount(); ++r) {
        const QString fld = host::variantText(rows->at(r, 0));
        if (!wanted.isEmpty() && !wanted.contains(fld.toLower())) continue;
        xml += QStringLiteral("<ColSet") + attribute("cFld", fld) +
               attribute("cCaption", host::variantText(rows->at(r, 1))) +
               attribute("cQryField", host::variantText(rows->at(r, 2))) +
               attribute("iColWidth", host::variantText(rows->at(r, 3))) +
               attribute("bDisp", rows->at(r, 4).toInt() != 0 ? QStringLiteral("1")
                                                               : QStringLiteral("0")) +
               attribute("iOrder", host::variantText(rows->at(r, 5))) + QStringLiteral("/>");
    }
    xml += QStringLiteral("</Data></Q9ColSet>");
    return xml;
}

}  // namespace platform::colset
