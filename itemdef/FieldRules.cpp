#include "itemdef/FieldRules.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

#include "itemdef/ItemRecord.h"

namespace itemdef {

namespace {

void setEnabled(FieldState& s, bool enabled, bool empty = false) {
    s.enabled = enabled;
    if (empty) s.text.clear();
}

void setFlag(FlagBox& box, bool enabled, bool clear) {
    box.enabled = enabled;
    if (clear) box.checked = false;
}

// The six flags a type switches together (input required is not among them).
constexpr Flag kTypeFlags[] = {kFixLength, kCheckVal, kArchive, kMultiSel, kAttachFile, kPic};

}  // namespace

void applyTypeRule(int type, EditorFields& f, bool chosen) {
    for (const Flag flag : {kArchive, kMultiSel, kInput, kAttachFile, kPic})
        f.flags[flag].enabled = true;
    f.length.enabled = false;
    f.decimals.enabled = false;
    f.relArchive.text.clear();
    f.relField.text.clear();

    bool flagsOn = false;
    switch (type) {
        case kText:
            setEnabled(f.maxLen, true);
            setEnabled(f.length, true);
            setEnabled(f.decimals, false, true);
            f.dateButton.visible = false;
            flagsOn = true;
            if (f.dataSource == 1) {
                f.relArchive.enabled = true;
                f.relField.enabled = true;
            }
            break;
        case kDate:
        case kDateTime:
            setEnabled(f.maxLen, false, true);
            setEnabled(f.length, false, true);
            setEnabled(f.decimals, false, true);
            setEnabled(f.defaultVal, true);
            f.dateButton.visible = true;
            f.dateButton.enabled = true;
            break;
        case kNumber:
            // A stored number item keeps what it has; a chosen one drops the text lengths.
            setEnabled(f.maxLen, false, chosen);
            setEnabled(f.length, false, chosen);
            setEnabled(f.decimals, true);
            if (chosen) f.decimals.text = QStringLiteral("6");
            f.dateButton.visible = false;
            break;
        default:  // integer, or no type chosen
            setEnabled(f.maxLen, false, true);
            setEnabled(f.length, false, true);
            setEnabled(f.decimals, false, true);
            f.dateButton.visible = false;
            break;
    }
    for (const Flag flag : kTypeFlags) setFlag(f.flags[flag], flagsOn, !flagsOn);
    // A default value typed for another type does not stay behind unseen.
    if (chosen && !defaultFitsType(f.defaultVal.text, type)) f.defaultVal.text.clear();

    if (f.dataSource == 1) {
        f.flags[kFixLength].enabled = false;
        f.defaultVal.enabled = false;
        f.dateButton.visible = false;
    } else {
        f.flags[kFixLength].enabled = f.length.enabled;
        f.defaultVal.enabled = true;
    }
}

void applyFreeItem(EditorFields& f) {
    setFlag(f.flags[kFixLength], false, true);
    setFlag(f.flags[kInput], false, true);
    f.flags[kCheckVal] = {true, false};
    f.flags[kArchive].enabled = false;
    setEnabled(f.defaultVal, false, true);
    f.dateButton.enabled = false;
    f.length.enabled = false;
    setEnabled(f.decimals, false, true);
}

void applyRegularItem(EditorFields& f) {
    for (const Flag flag : {kArchive, kMultiSel, kAttachFile, kPic, kInput})
        f.flags[flag].enabled = true;
}

FlagClick flagClicked(Flag flag, EditorFields& f, const FlagContext& ctx) {
    FlagClick result;
    FlagBox& box = f.flags[flag];
    if (flag != kFixLength && ctx.itemName.trimmed().isEmpty()) {
        box.checked = false;
        result.undone = true;
        return result;
    }
    result.changed = true;
    const bool on = box.checked;
    auto enableAgain = [&](std::initializer_list<Flag> flags) {
        if (ctx.freeItem) return;
        for (const Flag other : flags) f.flags[other].enabled = true;
    };
    switch (flag) {
        case kArchive:
            if (on) {
                f.flags[kCheckVal].checked = true;
                for (const Flag other : {kMultiSel, kAttachFile, kPic})
                    f.flags[other].enabled = false;
            } else if (!f.flags[kCheckVal].checked) {
                f.flags[kMultiSel].enabled = true;
            }
            break;
        case kCheckVal: {
            // Validity is checked while the values come from the item's own archive.
            const bool kept = !on && !ctx.freeItem && f.flags[kArchive].checked;
            if (kept) box.checked = true;
            if (box.checked) {
                setFlag(f.flags[kMultiSel], false, true);
                f.flags[kAttachFile].enabled = false;
                f.flags[kPic].enabled = false;
            } else {
                for (const Flag other : {kMultiSel, kAttachFile, kPic})
                    f.flags[other].enabled = true;
            }
            break;
        }
        case kFixLength:
            if (!on) break;
            if (ctx.length.trimmed().isEmpty()) {
                box.checked = false;
            } else {
                const QString value = f.defaultVal.text.trimmed();
                if (!value.isEmpty() && f.defaultVal.text.size() != ctx.length.trimmed().toInt()) {
                    box.checked = false;
                    result.messageKey = QStringLiteral("Q9.AA.USERDEF.FRMZAM.72_1");
                    result.messageArg = ctx.length.trimmed();
                }
            }
            break;
        case kMultiSel:
            if (on) {
                setFlag(f.flags[kCheckVal], false, true);
                setFlag(f.flags[kArchive], false, true);
            } else {
                enableAgain({kCheckVal, kArchive});
            }
            break;
        case kAttachFile:
            if (on)
                for (const Flag other : {kCheckVal, kFixLength, kArchive, kPic})
                    setFlag(f.flags[other], false, true);
            else
                enableAgain({kCheckVal, kFixLength, kArchive, kPic});
            break;
        case kPic:
            if (on)
                for (const Flag other : {kCheckVal, kFixLength, kArchive, kAttachFile})
                    setFlag(f.flags[other], false, true);
            else
                enableAgain({kCheckVal, kFixLength, kArchive, kAttachFile});
            break;
        case kInput:
        case kFlagCount:
            break;
    }
    return result;
}

bool lengthReductionRefused(bool inUse, int storedLength, const QString& newText) {
    if (!inUse) return false;
    bool ok = false;
    const int value = newText.trimmed().toInt(&ok);
    return ok && value < storedLength;
}

bool defaultFitsType(const QString& value, int type) {
    const QString v = value.trimmed();
    if (v.isEmpty()) return true;
    bool ok = false;
    switch (type) {
        case kDate:
        case kDateTime: return isDateText(v);
        case kInteger: (void)v.toLongLong(&ok); return ok;
        case kNumber: (void)v.toDouble(&ok); return ok;
        default: return true;
    }
}

bool isDateText(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    static const QRegularExpression form(
        QStringLiteral("^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})"
                       "(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"));
    const QRegularExpressionMatch m = form.match(t);
    if (!m.hasMatch()) return false;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid()) return false;
    if (m.captured(4).isEmpty()) return true;
    return QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt()).isValid();
}

DefaultCheck defaultValueChanged(const QString& value, bool fixLength, const QString& length,
                                 int type) {
    DefaultCheck check;
    if (fixLength && length.trimmed().isEmpty()) {
        check.untickFixLength = true;
    } else if (fixLength && value.size() != length.trimmed().toInt()) {
        check.untickFixLength = true;
        check.messageKey = QStringLiteral("Q9.AA.USERDEF.FRMZAM.72_1");
        check.messageArg = length.trimmed();
    }
    if ((type == kDate || type == kDateTime) && !value.isEmpty() && !isDateText(value)) {
        check.refused = true;
        check.messageKey = QStringLiteral("Q9.AA.USERDEF.FRMZAM.360_1");
        check.messageArg.clear();
    }
    return check;
}

bool decimalKeyAccepted(int key, bool batchProperty) {
    switch (key) {
        case Qt::Key_Backspace:
        case Qt::Key_Tab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return true;
        case Qt::Key_7:
        case Qt::Key_8:
            return batchProperty;
        default:
            return key >= Qt::Key_0 && key <= Qt::Key_6;
    }
}

bool keyMarksChange(int key) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F16) return false;
    switch (key) {
        case Qt::Key_NumLock:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Pause:
        case Qt::Key_CapsLock:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_End:
        case Qt::Key_Home:
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_Select:
        case Qt::Key_Print:
        case Qt::Key_Execute:
        case Qt::Key_SysReq:
        case Qt::Key_Insert:
        case Qt::Key_Help:
            return false;
        default:
            return true;
    }
}

bool attachmentAllowed(int classPos, int r) {
    if (classPos == kHeader) return (r >= 10 && r <= 14) || r >= 17;
    if (classPos == kBody) return (r >= 1 && r <= 4) || (r >= 7 && r <= 12) || r >= 17;
    return true;
}

QString shownLabel(const QString& cItem, const QStringList& kindTexts) {
    // "扩展自定义项" holds "自定义项": the longer prefix is tried first.
    for (const int kind : {kExtendedItem, kUserDefinedItem, kFreeItem, kPropertyItem}) {
        const QString& prefix = kindKeys().at(kind);
        if (cItem.startsWith(prefix))
            return kindTexts.value(kind, prefix) + cItem.mid(prefix.size());
    }
    return cItem;
}

QString flagCaption(const QString& text, const QString& localeId) {
    QString caption = text;
    if (localeId.compare(QLatin1String("en-us"), Qt::CaseInsensitive) == 0)
        caption.remove(QLatin1String("or not"), Qt::CaseInsensitive);
    else
        caption.remove(QStringLiteral("是否"));
    return caption.trimmed();
}

}  // namespace itemdef
