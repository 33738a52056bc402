#pragma once
// A reference definition: the XML text that configures a look-up box.
//
//   <Ref cRefName='…' cEntityKeyFld='…' cEntityNameFld='…'>
//     <RefSet bMultiSel='0' cRetFld='key' cShowFld='name' cCheckFlds='a,b' …/>
//     <DataSrc><DataGrid cUserDataSrcQrySelectPart='SELECT …' cUserDataSrcQryWherePart='…'
//                        cUserDataSrcQryOrderPart='Order by …'/></DataSrc>
//     <RefConditions><sql>…extra condition…</sql></RefConditions>
//     <RefColSet><Q9ColSet><Data>
//       <ColSet cFld='ctype' bDisp='1' cCaption='Type' iColWidth='2000' iAlign='1'/> …
//     </Data></Q9ColSet></RefColSet>
//   </Ref>
//
// Parsing is lenient: element and attribute names are matched without regard to case, unknown
// parts are ignored, and a text that is not well-formed only because of a bare '&' or a '<'
// inside an attribute value or a condition is repaired before it is read.
#include <QString>
#include <QStringList>
#include <QVector>

namespace controls {

struct RefColumn {
    QString field;       // cFld
    QString caption;     // cCaption; the field name when empty
    bool shown = true;   // bDisp
    int widthTwips = 0;  // iColWidth; 0 = default
    int align = 0;       // iAlign as given
};

class RefDefinition {
public:
    // False with error() filled when the text is empty or not XML, or has no <Ref> element.
    bool parse(const QString& xml);
    QString error() const { return m_error; }

    QString refName() const { return m_refName; }  // cRefName: the look-up window's title
    QString entityKeyField() const { return m_entityKeyFld; }
    QString entityNameField() const { return m_entityNameFld; }

    bool multiSelect() const { return m_multiSel; }          // bMultiSel = 1
    QString returnField() const { return m_retFld; }         // cRetFld
    QString showField() const { return m_showFld; }          // cShowFld
    QStringList checkFields() const { return m_checkFlds; }  // cCheckFlds, trimmed, no empties

    QString selectPart() const { return m_select; }
    QString wherePart() const { return m_where; }
    QString orderPart() const { return m_order; }
    QString conditionSql() const { return m_conditionSql; }  // RefConditions/sql
    bool hasStatement() const { return !m_select.trimmed().isEmpty(); }
    // The select part with the where part and the extra condition joined by AND (each in
    // parentheses; AND when the select has a WHERE of its own already), then the order part.
    // Empty when there is no select part.
    QString statement() const;

    QVector<RefColumn> columns() const { return m_columns; }  // RefColSet entries in order

private:
    QString m_error;
    QString m_refName, m_entityKeyFld, m_entityNameFld;
    bool m_multiSel = false;
    QString m_retFld, m_showFld;
    QStringList m_checkFlds;
    QString m_select, m_where, m_order, m_conditionSql;
    QVector<RefColumn> m_columns;
};

}  // namespace controls
