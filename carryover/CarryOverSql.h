#pragma once
// The statements of the carry-over windows, built from their fixed pieces in order. Every value
// joined in goes through host::sqlValue.
#include <QString>

namespace carryover {

// Type letters of the batch window's two tabs and the table type codes of the rule editor.
inline const QString kHeaderLetter = QStringLiteral("H");
inline const QString kBodyLetter = QStringLiteral("B");

// --- Table choosers -------------------------------------------------------------------------

// The rule editor's chooser data: select part (ends in two blanks), the source chooser's where
// part, the target chooser's where part on opening and once a source is chosen.
QString ChooserSelectSql();
QString SourceTableCondition();
QString TargetTableConditionOnOpening();
QString TargetTableCondition(const QString& sourceType, const QString& sourceTable);
// The rule editor's source chooser statement as the look-up runs it: select, where, order.
QString SourceTablesSql();

// Target table types a source of this type may carry to (" ('B','B,H','H,B') " …); empty for
// an unknown code.
QString TargetTypeList(const QString& sourceType);
// The item condition of a table type code (" a.cDicDbName Like 'cBDefine%' " …); empty for an
// unknown code.
QString ItemColumnCondition(const QString& typeCode);

// The batch window's chooser data: one nested statement on tabledesc (the session's caption of
// the table, else the stored one), without its order part.
// target: tables that are a target of some pair, else tables that are a source.
QString BatchChooserSelectSql(bool target);
QString BatchChooserOrder(bool target);  // "Order by ctype DESC,tabledesc" (target: blank after)

// --- Rule editor ------------------------------------------------------------------------------

// Items of the source table's kind that are on both tables, in column-name order.
QString SharedItemsSql(const QString& typeCode, const QString& sourceTable,
                       const QString& targetTable);

// The field-pair table filled for one item of a pair (one batch, parts joined by CR LF), and
// the join that yields the pair's carry-over path.
QString FieldPairBatch(const QString& sourceTable, const QString& targetTable,
                       const QString& column);
QString FieldPairJoinSql();

// --- Rule list --------------------------------------------------------------------------------

// The rule list without its last join. batchPrint: with TableDesc in place of cTableDesc, as
// the batch window reads the field types for printing.
QString RuleListHead(bool batchPrint = false);
// The last join alone, which every user of the rule list continues differently.
QString RuleListLastJoin();
// Carrying rules (btrans=1), with an optional filter condition (written against the list or a
// single table: "ctablename" becomes "MakeVouch_Set.ctablename" when the condition does not
// name MakeVouch_Set), ordered by pair.
QString RuleListSql(const QString& condition = {});
// No rows: the list's fields only.
QString RuleListColumnsSql();
// The batch window's printing columns.
QString BatchPrintColumnsSql();
// Every rule of one pair, carrying or not.
QString RulesOfPairSql(const QString& sourceTable, const QString& targetTable);

// --- Batch setting ----------------------------------------------------------------------------

// The filters on the two choosers' texts (trimmed; an empty text adds nothing): a table passes
// when its shown description or its name holds the text.
QString DescriptionFilters(const QString& sourceDesc, const QString& targetDesc);
// The items of a tab, in cID order.
QString ItemColumnsSql(const QString& letter);
// The table pairs of a tab.
QString PairRowsSql(const QString& letter, const QString& sourceDesc = {},
                    const QString& targetDesc = {});
// The rules of a tab's letter exactly.
QString RulesOfLetterSql(const QString& letter, const QString& sourceDesc = {},
                         const QString& targetDesc = {});
// The item-to-table links of the tab's class.
QString ItemLinksSql(const QString& letter);

// The stored class of a tab's items: 单据头 for "H", 单据体 for "B".
QString ClassOfLetter(const QString& letter);

}  // namespace carryover
