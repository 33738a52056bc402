#pragma once
// The column-setting service: the column settings of references and lists, from
// ZxMeta_<account>.AA_ColumnDic.
//
// getColInfo answers
//   <Q9ColSet><Data>
//     <ColSet cFld="…" cCaption="…" cQryField="…" iColWidth="…" bDisp="1" iOrder="…"/> …
//   </Data></Q9ColSet>
// in column order (iOrder, then cFld). `all` false leaves out the columns that are not shown
// (bDisp 0); a non-empty filter keeps only the fields it names (comma-separated, any case).
// An unknown key, or a service that could not open the metadata database, answers the empty
// document; lastError() says why.
#include <QString>
#include <memory>

#include "host/IColSet.h"

namespace platform::sql {
class TSqlConnection;
}

namespace platform::colset {

class ColSetSvr : public host::IColSet {
public:
    ColSetSvr();
    ~ColSetSvr() override;

    // Opens the account of a connection text, embedded or on a server (kept when it is open
    // already); the settings are read from its metadata database.
    void init(const QString& connectionText, const QString& userId) override;
    QString getColInfo(const QString& refKey, const QString& filter, bool all) override;

    bool isOpen() const { return bool(m_db); }
    QString userId() const { return m_userId; }
    QString lastError() const { return m_error; }

private:
    std::unique_ptr<sql::TSqlConnection> m_db;
    QString m_connectionText;
    QString m_table;  // AA_ColumnDic as the connection reaches it
    QString m_userId;
    QString m_error;
};

}  // namespace platform::colset
