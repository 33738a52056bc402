// The item editor's commands that write or leave the item: "SaveRs" (checks, numbering, the
// document, the save modes, the steps after a save), "Archive" (the item's value archive) and
// "Delete" (an extended item). The rules themselves live in ItemValidation, ItemDocument and
// ItemSave; this file reads the editor's fields for them and shows their outcome.
#include <QAction>
#include <QApplication>
#include <QLineEdit>

#include "archive/FrmZArchive.h"
#include "common/ResText.h"
#include "common/Globals.h"
#include "common/InitToolbar.h"
#include "common/NameTables.h"
#include "common/ShowModal.h"
#include "common/ShowMsg.h"
#include "controls/CheckTree.h"
#include "controls/CheckTreeModel.h"
#include "controls/RefEdit.h"
#include "host/Quote.h"
#include "itemdef/EditorQueries.h"
#include "itemdef/FrmZAM.h"
#include "itemdef/ItemDocument.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/ItemValidation.h"
#include "itemdef/ItemdefLog.h"
#include "itemdef/Numbering.h"
#include "ui_FrmZAM.h"

namespace itemdef {

namespace {

using userdef::g_Login;
using userdef::g_Pub;
using userdef::g_SrvDB;


// The busy cursor while a save runs; restored however the save ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { restore(); }
    void restore() {
        if (m_on) QApplication::restoreOverrideCursor();
        m_on = false;
    }

private:
    bool m_on = true;
};

void handServerToPlugIns(const std::shared_ptr<host::PlugInCollection>& plugIns) {
    if (!plugIns) return;
    for (const auto& plugIn : *plugIns)
        if (plugIn) plugIn->SetQ9ArchiveDbSrv(g_SrvDB.get());
}

bool askYes(const char* key) {
    return g_Pub && g_Pub->MsgBox(userdef::ResText(QString::fromLatin1(key)), host::MsgButtons::YesNoQuestion,
                                  userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.COMMON.exclamation"))) ==
                        host::MsgAnswer::Yes;
}

void releaseLock(const char* function, int mode) {
    if (g_Pub) g_Pub->IsLockFun(g_SrvDB.get(), g_Login.get(), QString::fromLatin1(function), mode);
}

}  // namespace

void FrmZAM::setCoverTips(const QList<QAction*>& tips) {
    m_coverTips.clear();
    for (QAction* tip : tips) m_coverTips << tip;
}

int FrmZAM::coverOption() const {
    for (int n = 0; n < m_coverTips.size(); ++n)
        if (m_coverTips.at(n) && m_coverTips.at(n)->isChecked()) return n;
    return kCoverUnset;
}

// ---- checks ----------------------------------------------------------------------------------

bool FrmZAM::CheckValid() {
    const auto refuse = [this](const Refusal& r) {
        if (g_Pub)
            userdef::ShowMsg(r.args.isEmpty() ? g_Pub->GetResString(r.key)
                                              : g_Pub->GetResFormatString(r.key, r.args));
        QWidget* focus = nullptr;
        switch (r.focus) {
            case ValidationFocus::Type:
                focus = ui->CmbCType;
                break;
            case ValidationFocus::Names:
                ui->Grid->setCurrentCell(0, 0);
                focus = ui->Grid;
                break;
            case ValidationFocus::MaxLen:
                focus = ui->EdtIMaxLen;
                break;
            case ValidationFocus::Length:
                focus = ui->EdtiLength;
                break;
            case ValidationFocus::DefaultValue:
                focus = ui->EdtcDefaultVal;
                break;
            case ValidationFocus::RelArchive:
                focus = m_relArchive->lineEdit();
                break;
            case ValidationFocus::None:
                break;
        }
        if (focus && focus->isEnabled()) focus->setFocus();
        return false;
    };

    // A length still being typed is judged now.
    if (!LengthKept()) {
        ui->EdtiLength->setFocus();
        return false;
    }
    ValidationInput in;
    in.typeText = ui->CmbCType->currentText();
    if (in.typeText.isEmpty()) return refuse(*CheckItemFields(in));

    // A name being typed counts; an extended item's name is its three names joined.
    CommitTyping();
    if (m_state.extended) {
        ui->EdtcItemName->setText(ui->Grid->item(0, 0)->text() + ui->Grid->item(0, 1)->text() +
                                  ui->Grid->item(0, 2)->text());
        MarkChanged();
    }

    in.typePosition = currentType();
    in.shownType = ui->CmbCType->currentText();
    in.shownClass = classText();
    in.extended = m_state.extended;
    in.inUse = m_state.inUse;
    in.itemName = ui->EdtcItemName->text();
    in.lengthEnabled = ui->EdtiLength->isEnabled();
    in.maxLen = ui->EdtIMaxLen->text();
    in.length = ui->EdtiLength->text();
    in.defaultVal = ui->EdtcDefaultVal->text();
    in.relArchive = m_state.relArchive;
    in.relArchiveEnabled = m_relArchive->isEnabled();
    in.relField = m_state.relField;
    in.dataSource = ui->CmbiDataSource->currentIndex();
    if (const auto r = CheckItemFields(in)) return refuse(*r);

    if (m_state.extended) {
        QVector<TickedNode> ticked;
        const controls::CheckTreeModel& tree = *m_tree->model();
        for (const QString& key : tree.tickedKeys()) ticked.append({key, tree.text(key)});
        const QString notice = RowSizeNotice(EstimateRowSizes(
            ticked, rowWidth(in.typePosition, int(in.maxLen.trimmed().toDouble()))));
        if (!notice.isEmpty()) userdef::ShowMsg(notice);
    }
    if (const auto r = CheckRelatedArchive(in)) return refuse(*r);

    // A parent may not lead back to the item itself.
    const QString parentId = ui->CmbcParentID->currentIndex() > 0
                                 ? ui->CmbcParentID->currentData().toString()
                                 : QString();
    if (!parentId.isEmpty() && !m_state.cId.isEmpty() && g_SrvDB) {
        const std::optional<bool> cycle = parentMakesCycle(*g_SrvDB, m_state.cId, parentId);
        if (!cycle) {
            userdef::ShowMsg(g_SrvDB->lastError());
            return false;
        }
        if (*cycle) {
            userdef::ShowMsg(g_Pub ? g_Pub->GetResFormatString(
                                         QStringLiteral("Q9.AA.USERDEF.FrmZAM.parentcycle"),
                                         {ui->CmbcParentID->currentText()})
                                   : QString());
            ui->CmbcParentID->setFocus();
            return false;
        }
    }
    return true;
}

// ---- the document ----------------------------------------------------------------------------

std::optional<BuiltDocument> FrmZAM::BuildItemDocument() {
    const int pos = classPosition(m_state.cClass);
    const CoverValues cover = AskCoverValues(coverOption(), m_state.extended, pos);
    ItemDocumentFields f;
    f.adding = m_state.adding;
    f.extended = m_state.extended;
    f.freeItem = m_state.freeItem;
    f.coverBody = cover.body;
    f.cover = cover.vouch;
    f.cId = m_state.cId;
    f.cClass = m_state.cClass;
    f.cItem = m_state.cItem;
    if (m_state.adding) {
        QString column, error;
        if (!NextColumnName(m_state.cClass, &column, &f.pubzxts, &error)) {
            qCWarning(lcItemdef) << "column name:" << error;
            userdef::ShowMsg(error);
            return std::nullopt;
        }
        m_state.column = column;
    }
    f.maxLen = ui->EdtIMaxLen->text();
    for (int c = 0; c < 3; ++c) f.names[c] = ui->Grid->item(0, c)->text();
    f.cType = ui->CmbCType->currentIndex() < 0 ? QString() : ui->CmbCType->currentData().toString();
    const auto visible = [this](const QWidget* w, const QString& text) {
        return VisibleValue{text, w->isVisibleTo(this)};
    };
    f.length = visible(ui->EdtiLength, ui->EdtiLength->text());
    f.decimals = visible(ui->EdtiDecimalDigits, ui->EdtiDecimalDigits->text());
    f.defaultVal = visible(ui->EdtcDefaultVal, ui->EdtcDefaultVal->text());
    f.dataSource = ui->CmbiDataSource->currentIndex();
    f.parentId = ui->CmbcParentID->currentIndex() > 0 ? ui->CmbcParentID->currentData().toString()
                                                      : QString();
    const Flag order[] = {kFixLength, kInput, kArchive, kMultiSel, kAttachFile, kPic, kCheckVal};
    for (int i = 0; i < 7; ++i) {
        const QCheckBox* box = m_flagBoxes.at(order[i]);
        f.flags[i] = visible(box, box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    }
    f.relArchive = m_state.relArchive;
    f.refId = m_state.refId;
    f.relField = m_state.relField;
    f.column = m_state.column;

    BuiltDocument doc;
    m_ext.cId = m_state.cId;
    m_ext.adding = m_state.adding;
    m_ext.extended = m_state.extended;
    if (pos == kHeader || pos == kBody) {
        const DetailShare share = BuildDetailXML(*m_tree->model(), m_ext, m_state.cId);
        f.share = share.xml;
        doc.message = share.message;
    } else if (pos == kInventory || pos == kVendor || pos == kCustomer || pos == kContact) {
        f.share = BuildArchiveDetailXML(m_ext, m_state.cId);
    }
    doc.xml = ItemDocument(f);
    return doc;
}

// ---- saving ----------------------------------------------------------------------------------

bool FrmZAM::SaveUserDefRs(const QString& id, int mode) {
    if (mode == 3) return DeleteExtendedItem(id);
    if (mode != 1 && mode != 2 && mode != 4) return false;
    m_state.cId = id;
    const bool saved = SaveItem(m_state, mode, [this] { return BuildItemDocument(); });
    if (mode != 1) {
        // The update released the record lock with the others; the shown record keeps it.
        m_state.lockHeld = false;
        TakeRecordLock();
    }
    return saved;
}

bool FrmZAM::SaveCommand() {
    handServerToPlugIns(m_state.plugIns);
    if (!CheckValid()) return false;
    BusyCursor busy;
    if (m_state.adding && !m_state.inserted) {
        QString error;
        if (!NextItemId(m_state.cClass, &m_state.cId, &error)) {
            userdef::ShowMsg(error);
            return false;
        }
    }
    const int mode = m_state.adding ? 1 : (m_state.extended ? 4 : 2);
    // Unticked tables lose the item's column and its values: the same check as a delete.
    if (mode == 4) {
        m_ext.cId = m_state.cId;
        const QStringList removed = RemovedTables(*m_tree->model(), m_ext);
        if (!removed.isEmpty() && !CanDeleteExtendColumn(m_state.cId, removed)) return false;
    }
    if (!SaveUserDefRs(m_state.cId, mode)) {
        if (mode == 2 && m_state.plugIns)
            for (const auto& plugIn : *m_state.plugIns)
                if (plugIn) plugIn->EndModify();
        return false;
    }
    m_ext.cId = m_state.cId;
    if (mode == 1) {
        m_state.adding = false;
        m_ext.adding = false;
        LoadExtendTables(*m_tree->model(), m_ext);
        ui->CmbCType->setEnabled(false);
    } else if (mode == 4) {
        LoadExtendTables(*m_tree->model(), m_ext);
    }
    m_alongTables.clear();  // saved: the note has been read
    showGroupNote();
    busy.restore();
    AfterSave();
    return true;
}

void FrmZAM::AfterSave() {
    m_state.storedLength = ui->EdtiLength->text().trimmed().toInt();  // what is stored now
    if (m_state.extended)
        userdef::ShowMsg(userdef::ResText(QStringLiteral("Q9.AAARCHIVE.COMMON.saveExtendDefine_OK")));
    if (g_SrvDB) {
        const host::RecordSetPtr items = g_SrvDB->OpenX(
            QStringLiteral("SELECT ") + kItemColumns +
            QStringLiteral(",cDicDbName,ctabledesc,citemlang FROM Userdef WHERE cClass='") +
            host::sqlValue(m_state.cClass) +
            QStringLiteral("'ORDER BY cClass ,CAST(cid as int) ASC,cItem ASC "));
        if (items) {
            // The saved item's place in the class (a set handed over for every class, or a new
            // item, may have had it elsewhere).
            int row = 0;
            for (items->moveFirst(); !items->eof(); items->moveNext())
                if (items->text(QStringLiteral("cId")) == m_state.cId) {
                    row = items->absolutePosition();
                    break;
                }
            if (row == 0) row = std::clamp(m_state.row, 1, std::max(1, items->recordCount()));
            m_state.itemSet = items;
            m_state.row = row;
            if (!items->isEmpty()) items->setAbsolutePosition(row);
        } else {
            qCWarning(lcItemdef) << "item set not re-read:" << g_SrvDB->lastError();
        }
    }
    if (!m_state.lockHeld) TakeRecordLock();
    emit itemListChanged(m_state.cId);
    setButtonEnabled(QStringLiteral("Archive"),
                     currentType() == kText && !ui->EdtcItemName->text().trimmed().isEmpty());
    setButtonEnabled(QStringLiteral("First"), !m_state.onFirst());
    setButtonEnabled(QStringLiteral("Previous"), !m_state.onFirst());
    setButtonEnabled(QStringLiteral("Next"), !m_state.onLast());
    setButtonEnabled(QStringLiteral("Last"), !m_state.onLast());
    setButtonEnabled(QStringLiteral("SaveRs"), false);
    userdef::ReRefreshZxTlb(this);
}

// ---- the value archive -----------------------------------------------------------------------

bool FrmZAM::ArchiveCommand() {
    if (!g_Pub || !g_SrvDB) return false;
    handServerToPlugIns(m_state.plugIns);
    if (g_Pub->IsLockFun(g_SrvDB.get(), g_Login.get(), QStringLiteral("UserDefine"), 1))
        return false;
    CommitTyping();
    if (isDirty()) {
        if (g_Pub->MsgBox(saveQuestion(), host::MsgButtons::YesNoQuestion,
                          userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.COMMON.exclamation"))) ==
            host::MsgAnswer::Yes) {
            if (!SaveCommand()) {
                releaseLock("UserDef", -2);
                m_state.lockHeld = false;
                releaseLock("UserDefine", -1);
                return false;
            }
        } else {
            Fillallfields();  // the edits are dropped
        }
    }
    if (ui->EdtcItemName->text().trimmed().isEmpty()) {
        releaseLock("UserDefine", -1);
        return false;
    }
    const host::RecordSetPtr items =
        g_SrvDB->OpenX(QStringLiteral("select ") + kItemColumns +
                       QStringLiteral(",cItemLang from userdef where cItemName<>'' and cClass='") +
                       host::sqlValue(m_state.cClass) +
                       QStringLiteral("' order by cClass ,cast(cid as int) asc,cItem ASC "));
    int position = 0;
    if (items)
        for (items->moveFirst(); !items->eof(); items->moveNext())
            if (items->text(QStringLiteral("cClass")) == m_state.cClass &&
                items->text(QStringLiteral("cItem")) == m_state.cItem) {
                position = items->absolutePosition();
                break;
            }
    if (!items || items->isEmpty() || position == 0) {
        releaseLock("UserDefine", -1);
        return false;
    }
    items->setAbsolutePosition(position);
    {
        archive::FrmZArchive window(this);
        window.setArchivePlugin(m_state.plugIns);
        window.init(items);
        window.IsHaveParentDefine(!ui->CmbcParentID->currentText().isEmpty());
        userdef::ShowModal(&window);
    }
    // The values are the value archive's own; the item has no unsaved change from them.
    releaseLock("UserDefine", -1);
    return true;
}

// ---- deleting --------------------------------------------------------------------------------

bool FrmZAM::DeleteCommand() {
    if (m_state.cId.isEmpty()) return false;
    if (!((m_state.extended && !m_state.adding) || m_state.inserted)) {
        userdef::ShowMsg(classText() + QLatin1Char(' ') + ui->EdtCItem->text() +
                         userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmUserDef.nottodelete")));
        return false;
    }
    if (!askYes("Q9.AA.ARCHIVE.FIELD.deleteornot")) return false;
    {
        BusyCursor busy;
        if (!SaveUserDefRs(m_state.cId, 3)) return false;
    }
    setButtonEnabled(QStringLiteral("SaveRs"), false);
    emit itemListChanged(QString());
    close();
    return true;
}

}  // namespace itemdef
