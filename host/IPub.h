#pragma once
// The public service: texts, messages and questions, function locks and grid helpers.
#include <QColor>
#include <QString>
#include <QStringList>

#include "host/RecordSet.h"

class QWidget;

namespace host {

class IClsCommon;
class ILogin;
class IGrid;

// Message-box button and icon codes, and answers, as the component passes them.
namespace MsgButtons {
constexpr int Ok = 0;
constexpr int YesNo = 4;
constexpr int Question = 32;
constexpr int Warning = 48;
constexpr int Information = 64;
constexpr int YesNoQuestion = YesNo | Question;  // 36
constexpr int YesNoWarning = YesNo | Warning;    // 52
}  // namespace MsgButtons
namespace MsgAnswer {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int No = 7;
}  // namespace MsgAnswer

class IPub {
public:
    virtual ~IPub() = default;

    virtual QString GetResString(const QString& key) = 0;
    virtual QString GetResFormatString(const QString& key, const QStringList& values) = 0;
    virtual int MsgBox(const QString& text, int buttons, const QString& title) = 0;

    // True when the lock cannot be had (held elsewhere). A positive mode takes, a negative one
    // releases. recordLock marks a record lock; recordKey names the record where known.
    virtual bool IsLockFun(IClsCommon* srv, ILogin* login, const QString& function, int mode,
                           bool recordLock = false, const QString& recordKey = {}) = 0;

    // Asks about unsaved changes of a window; false when the caller must not move or close.
    virtual bool isSaveRs(QWidget* window) = 0;

    virtual QString GetRptArchSQL(const QString& columns) = 0;
    virtual QString M_LocaleId() const = 0;
    virtual QColor MustInputColor() const = 0;
    virtual QColor UnEditedColor() const = 0;

    virtual void FrmUniteFont(QWidget* window) = 0;
    virtual void FormatGrid(IGrid* grid, const RecordSet& fields, const QString& alignXml) = 0;
    // Selects and shows a row: the row whose column (titled columnCaption) holds text when
    // text is given, else the given row (then topRow, when 1 or more, becomes the top row).
    virtual void SetGridRow(IGrid* grid, const QString& text, const QString& columnCaption, int row,
                            int topRow) = 0;
    virtual void GridSort(IGrid* grid, int col, Qt::SortOrder order) = 0;
    virtual void HelpX(const QString& topic, QWidget* window) = 0;

    // Every command key of a window passes here first: "Help" shows the topic named by the
    // window's dynamic property "helpTopic" (windows that call HelpX themselves leave it unset).
    virtual void HelpShow(QWidget* window, const QString& commandKey) = 0;
    virtual void HelpHide() = 0;

    // Asks for a text and selects the next data row (after the current one, wrapping) that
    // holds it in a visible cell, ignoring letter case; false when none does.
    virtual bool FindPos(QWidget* window, IGrid* grid) = 0;
    // Sorts by the current column on a pop-up menu command: a key ending in "Asc" ascending,
    // in "Desc" descending; other keys are ignored.
    virtual void GridSortNew(IGrid* grid, const QString& menuKey) = 0;

    // The export type and size of every field (definedSize filled in where the record set does
    // not know it).
    virtual QVector<FieldInfo> GetTypeSize(const RecordSet& fields) = 0;
    // The stored print style of a print key; empty when none is stored (the default style).
    virtual QString GetPrnStyle(IClsCommon* srv, const QString& printKey) = 0;
    virtual bool SavePrnStyle(IClsCommon* srv, const QString& printKey, const QString& style) = 0;
    // Print data of a grid's visible columns and data rows:
    //   <PrintData><Title/><Account/><UserId/><UserName/><Date>yyyy-MM-dd</Date>
    //     <Columns><Column width="twips" align="left|center|right" col="grid column">header</Column>…</Columns>
    //     <Rows><Row><Cell>text</Cell>…</Row>…</Rows></PrintData>
    // Check cells print the text of "Q9.AA.ARCHIVE.COMMON.yes" when ticked, else nothing.
    virtual QString GetData(IGrid* grid, const QString& title, const QString& accountId,
                            const QString& userId, const QString& userName) = 0;
    // Tells the user how many rows an export wrote (count < 0: the export failed).
    virtual void PrintMsg(int count, const QString& printKey) = 0;

    // Window options remembered per user (status bar shown, toolbar texts …), kept in the
    // account database of srv. FrmOpt stores the checked state of the window's action named
    // `key` under formKey for the login's user; FrmOptInit sets the window's actions to the
    // states stored for that user (actions without a stored state keep theirs).
    virtual void FrmOpt(QWidget* window, const QString& key, const QString& formKey,
                        ILogin* login, IClsCommon* srv) = 0;
    virtual void FrmOptInit(QWidget* window, const QString& formKey, ILogin* login,
                            IClsCommon* srv) = 0;
};

}  // namespace host
