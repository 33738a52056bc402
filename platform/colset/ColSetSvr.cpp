#include "platform/colset/ColSetSvr.h"

#include <QLoggingCategory>

#include "host/Quote.h"
#include "platform/sql/TSqlConnection.h"

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
    m_userId = userId;
    m_error.clear();
    if (m_db && connectionText == m_connectionText) return;  // the account open already
    m_db.reset();
    m_connectionText = connectionText;
    m_db = sql::TSqlConnection::open(connectionText, &m_error);
    if (!m_db) {
        qCWarning(lcColSet) << "cannot open the account:" << m_error;  // the text may hold a password
        return;
    }
    const QString meta = QStringLiteral("ZxMeta_") + m_db->connectionText().account;
    m_table = m_db->reaches(meta) ? host::sqlIdent(meta) + QStringLiteral("..AA_ColumnDic")
                                  : QStringLiteral("AA_ColumnDic");
}

QString ColSetSvr::getColInfo(const QString& refKey, const QString& filter, bool all) {
    if (!m_db) {
        if (m_error.isEmpty()) m_error = QStringLiteral("the column-setting service is not open");
        return kEmpty;
    }
    QString sql = QStringLiteral("select cFld, cCaption, cQryField, iColWidth, bDisp, iOrder from ") +
                  m_table + QStringLiteral(" where cKey = N'") + host::sqlValue(refKey.trimmed()) +
                  QLatin1Char('\'');
    if (!all) sql += QStringLiteral(" and bDisp <> 0");
    sql += QStringLiteral(" order by iOrder, cFld");
    const host::RecordSetPtr rows = m_db->open(sql);
    if (!rows) {
        m_error = m_db->lastError();
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
