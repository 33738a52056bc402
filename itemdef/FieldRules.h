#pragma once
// The field rules of the item editor, on plain states rather than widgets: what a data type,
// a free item, the data source and a flag click do to the fields; the length, default-value and
// decimal-digit checks; which keys count as an edit. The window reads its widgets into
// EditorFields, runs a rule and writes the result back.
#include <QString>
#include <QStringList>
#include <array>

namespace itemdef {

struct FieldState {
    bool enabled = true;
    bool visible = true;
    QString text;
};

// The flag check boxes, in this order.
enum Flag { kFixLength, kCheckVal, kInput, kArchive, kMultiSel, kAttachFile, kPic, kFlagCount };

struct FlagBox {
    bool checked = false;
    bool enabled = true;
};

struct EditorFields {
    FieldState maxLen, length, decimals, defaultVal, dateButton;
    FieldState relArchive, relField;
    std::array<FlagBox, kFlagCount> flags;
    int dataSource = -1;  // position of the data-source choice; -1 none chosen
};

// Choosing (chosen) or loading a type: typePosition as ItemRecord's positions, -1 for none
// chosen. Choosing number sets the decimal digits to 6; loading keeps the stored digits. Ends
// with the data-source part: fixed length and default value follow the data source.
void applyTypeRule(int typePosition, EditorFields& f, bool chosen = false);

// A free item: fixed length and input required disabled and cleared, check validity disabled
// and ticked, archive disabled, default value disabled and emptied, date button disabled,
// length disabled, decimal digits disabled and emptied.
void applyFreeItem(EditorFields& f);
// Any other item: archive, multi-select, attachment, picture and input required enabled.
void applyRegularItem(EditorFields& f);

// The user clicked a flag box (its new value already in f). What the window does besides.
struct FlagClick {
    bool undone = false;   // the click was taken back: no name given (focus to the names)
    bool changed = false;  // "SaveRs" becomes enabled
    QString messageKey;    // a message to show, formatted with messageArg
    QString messageArg;
};
struct FlagContext {
    QString itemName;  // the item-name field
    QString length;    // the length field's text
    bool freeItem = false;
};
FlagClick flagClicked(Flag flag, EditorFields& f, const FlagContext& ctx);

// The length changed on an existing item: when it is in use and the new value is below the
// stored one, the stored value is put back (true; the window shows "Q9.AA.USERDEF.FRMZAM.402_1").
bool lengthReductionRefused(bool inUse, int storedLength, const QString& newText);

// The default value changed. Unticks fixed length when the length is empty or the value's
// length differs from it (message "Q9.AA.USERDEF.FRMZAM.72_1" in the second case); a date type
// refuses a text that is not a date (message "Q9.AA.USERDEF.FRMZAM.360_1", value emptied).
struct DefaultCheck {
    bool untickFixLength = false;
    bool refused = false;  // emptied, focus back on the field
    QString messageKey;
    QString messageArg;
};
DefaultCheck defaultValueChanged(const QString& value, bool fixLength, const QString& length,
                                 int typePosition);
// A date text as the editor accepts it (yyyy-MM-dd, yyyy/M/d, yyyy.M.d, with time for date and
// time); an empty text is no date.
bool isDateText(const QString& text);
// True when a default value can stand for an item of the type (empty always can).
bool defaultFitsType(const QString& value, int type);

// Keys the decimal-digits field takes: Backspace, Tab, Enter, Escape and 0 to 6; 7 and 8 only
// for batch properties. qtKey is a Qt::Key.
bool decimalKeyAccepted(int qtKey, bool batchProperty);

// Keys that are not an edit: Num Lock, Escape, Tab, Enter, shift, control, alternate, pause,
// caps lock, navigation and editing keys up to Insert, Help and the function keys. Every other
// key enables "SaveRs".
bool keyMarksChange(int qtKey);

// Whether a header or body item on a row of its class's list may hold an attachment: header rows
// 10 to 14 and from 17, body rows 1 to 4, 7 to 12 and from 17. Other classes: true.
bool attachmentAllowed(int classPosition, int row);

// The label as the user sees it: the kind prefix replaced by its localised text.
QString shownLabel(const QString& cItem, const QStringList& kindTexts);

// From the check-box texts the word "or not" is removed for en-us, otherwise "是否".
QString flagCaption(const QString& text, const QString& localeId);

}  // namespace itemdef
