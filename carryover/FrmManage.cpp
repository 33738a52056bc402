#include "carryover/FrmManage.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShortcut>

#include "common/EditKeys.h"
#include "carryover/CarryOverLog.h"
#include "carryover/CarryOverSql.h"
#include "carryover/MakeVouchGrid.h"
#include "common/SessionNames.h"
#include "carryover/MakeVouchPath.h"
#include "carryover/RuleRecord.h"
#include "carryover/RuleStore.h"
#include "carryover/TableRef.h"
#include "common/ResText.h"
#include "common/Globals.h"
#include "common/InitToolbar.h"
#include "common/NameTables.h"
#include "common/ShowMsg.h"
#include "controls/Grid.h"
#include "controls/HostToolbar.h"
#include "controls/RefEdit.h"
#include "ui_FrmManage.h"

namespace carryover {

namespace {

QString yesText() { return userdef::g_YesNo.value(1); }
QString noText() { return userdef::g_YesNo.value(0); }

QString fieldText(const host::RecordSet& rs, const char* name) {
    return rs.text(QString::fromLatin1(name));
}

}  // namespace

FrmManage::FrmManage(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmManage>()), m_host(nullptr) {
    ui->setupUi(this);
    userdef::KeepEditKeys(this);
    setProperty("helpTopic", QStringLiteral("MakeVouchSet"));
    m_host = new controls::HostToolbar(this);
    m_host->setObjectName(QStringLiteral("TLB2"));
    m_host->hide();
    connect(m_host, &controls::HostToolbar::buttonClicked, this,
            [this](const QString& key) { Operating(key); });
    ui->MainLayout->setStretchFactor(ui->Grid, 1);
    ui->Grid->installEventFilter(this);  // Enter in the last column saves

    connect(ui->RefcTableName, &controls::RefEdit::lookupReturned, this,
            [this](const host::RecordSetPtr& rows) {
                if (rows && !rows->isEmpty()) {
                    chooseSource(*rows);
                } else if (rows) {
                    ui->RefcTargetTable->setEnabled(false);
                }
            });
    connect(ui->RefcTargetTable, &controls::RefEdit::lookupReturned, this,
            [this](const host::RecordSetPtr& rows) {
                if (rows && !rows->isEmpty()) chooseTarget(*rows);
            });
    ui->RefcTargetTable->setBeforeLookup([this] { return beforeTargetLookup(); });
    // Typing over a chooser drops the table it held: only a choice names a table.
    connect(ui->RefcTableName, &controls::RefEdit::textEdited, this, [this] {
        m_sourceTable.clear();
        m_targetTable.clear();
    });
    connect(ui->RefcTargetTable, &controls::RefEdit::textEdited, this,
            [this] { m_targetTable.clear(); });

    connect(ui->Grid, &controls::Grid::cellEdited, this, [this](int row, int) { cellChanged(row); });
    SetupHotKeys();
}

FrmManage::~FrmManage() = default;

controls::Grid* FrmManage::grid() const { return ui->Grid; }
controls::RefEdit* FrmManage::sourceChooser() const { return ui->RefcTableName; }
controls::RefEdit* FrmManage::targetChooser() const { return ui->RefcTargetTable; }

void FrmManage::Add() { m_editMode = 1; }

void FrmManage::init(host::RecordSetPtr rules, int row) {
    m_editMode = 2;
    m_rules = std::move(rules);
    m_currentRow = row;
    if (!m_rules || m_rules->isEmpty()) return;
    if (m_rules->bof() || m_rules->eof()) m_rules->moveFirst();
    const host::RecordSet& r = *m_rules;
    m_sourceTable = fieldText(r, "cTableName");
    m_targetTable = fieldText(r, "cTargetTable");
    m_typeCode = fieldText(r, "ctype");
    m_subId = fieldText(r, "cSub_id");
    const userdef::SessionNames names = userdef::SessionNames::read();
    m_sourceDesc = names.tableLong(m_sourceTable, fieldText(r, "cTableNameDesc"));
    m_targetDesc = names.tableLong(m_targetTable, fieldText(r, "cTargetTableDesc"));
    ui->RefcTableName->setText(m_sourceDesc);
    ui->RefcTargetTable->setText(m_targetDesc);
}

void FrmManage::showEvent(QShowEvent* event) {
    Load();
    QDialog::showEvent(event);
}

void FrmManage::Load() {
    if (m_loaded) return;
    m_loaded = true;
    setWindowTitle(userdef::ResText("Q9.AA.ARCHIVE.FIELD.makevouchset"));
    if (userdef::g_Pub) userdef::g_Pub->FrmUniteFont(this);
    m_host->setPub(userdef::g_Pub.get());
    m_host->Init(ui->Tlb, userdef::g_Login.get(),
                 QStringLiteral("Archives_UserDef_MakeVouch_Edit"), QStringLiteral("AA"));
    userdef::InitToolbar(this, ui->Tlb, m_host, QString(), this, QStringLiteral("Voucher"));
    ui->RefcTableName->setReference(userdef::g_SrvDB.get(),
                                    BuildRuleEditorTableRef(EditorRef::Source));
    ui->RefcTargetTable->setReference(userdef::g_SrvDB.get(),
                                      BuildRuleEditorTableRef(EditorRef::TargetOnOpening));
    ui->RefcTargetTable->setEnabled(m_editMode == 2);
    setSaveEnabled(false);
    InitGridTitles();
    FillItemGrid();
    if (m_editMode == 2) LoadExistingRules();
    ui->Label1->setText(userdef::ResText("Q9.AA.ARCHIVE.FIELD.sourcetable"));
    ui->Label2->setText(userdef::ResText("Q9.AA.ARCHIVE.FIELD.ctargettable"));
}

void FrmManage::SetupHotKeys() {
    auto* save = new QShortcut(QKeySequence(Qt::Key_F6), this);
    save->setContext(Qt::WidgetWithChildrenShortcut);
    connect(save, &QShortcut::activated, this, [this] {
        ui->Grid->commitEdit();  // what the open cell shows is a change too
        if (saveEnabled()) Operating(QStringLiteral("SaveRs"));
    });
    const QList<QPair<QKeySequence, QString>> keys = {
        {QKeySequence(Qt::ALT | Qt::Key_F4), QStringLiteral("Exit")},
        {QKeySequence(Qt::Key_F1), QStringLiteral("Help")},
    };
    for (const auto& [sequence, key] : keys) {
        auto* shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        const QString command = key;
        connect(shortcut, &QShortcut::activated, this, [this, command] { Operating(command); });
    }
}

void FrmManage::InitGridTitles() {
    controls::Grid* g = ui->Grid;
    g->setRedraw(false);
    g->setCols(6);
    g->setRows(1);
    const char* titles[] = {"Q9.AA.ARCHIVE.FIELD.sequencenumber", "Q9.AA.ARCHIVE.FIELD.cfieldcname",
                            "Q9.AA.ARCHIVE.FIELD.takeornot", "Q9.AA.ARCHIVE.FIELD.cdesc",
                            "Q9.AA.ARCHIVE.FIELD.realityfieldname", nullptr};
    const int widths[] = {600, 1600, 1000, 6600, 0, 0};
    for (int c = 0; c < 6; ++c) {
        g->setText(0, c, titles[c] ? userdef::ResText(titles[c]) : QStringLiteral("guid"));
        g->setColWidth(c, widths[c]);
        g->setColHidden(c, widths[c] == 0);
        if (c >= kColName && userdef::g_Pub) g->setBackColor(0, c, userdef::g_Pub->MustInputColor());
    }
    g->setColEditor(kColTrans, {host::CellEditor::List, {yesText(), noText()}});
    g->setColEditor(kColDesc, {host::CellEditor::Text, {}});
    g->setRedraw(true);
}

void FrmManage::FillGrid(host::RecordSet& rows) {
    controls::Grid* g = ui->Grid;
    const int count = rows.recordCount();
    const int fields = std::min(rows.fieldCount(), g->cols() - 1);
    g->setRedraw(false);
    g->setRows(count + 1);
    for (int i = 0; i < count; ++i) {
        const int row = i + 1;
        g->setText(row, 0, QString::number(row));
        for (int f = 0; f < fields; ++f)
            g->setText(row, f + 1, FormatCellValue(rows.at(i, f), rows.field(f).type));
    }
    ShowSessionNames(*g, rows);
    g->setRedraw(true);
}

void FrmManage::FillItemGrid(const QString& search) {
    const bool missingPair = (m_editMode == 1 && (ui->RefcTableName->text().isEmpty() ||
                                                  ui->RefcTargetTable->text().isEmpty())) ||
                             m_sourceTable.isEmpty() || m_targetTable.isEmpty();
    if (missingPair) {
        ui->Grid->setRows(1);
        ui->Grid->setCurrentRow(0);
        return;
    }
    if (m_typeCode.isEmpty() || ItemColumnCondition(m_typeCode).isEmpty()) return;
    const host::RecordSetPtr rows =
        userdef::g_SrvDB ? userdef::g_SrvDB->OpenX(SharedItemsSql(m_typeCode, m_sourceTable, m_targetTable))
                         : nullptr;
    if (!rows) {
        // The rows of the earlier pair must not be saved for this one.
        ui->Grid->setRows(1);
        ui->Grid->setCurrentRow(0);
        userdef::ShowMsg(userdef::ResText("Q9.AA.ARCHIVE.FIELD.searchconditionerror"));
        return;
    }
    if (!search.isEmpty() && rows->isEmpty())
        userdef::ShowMsg(userdef::ResText("Q9.AA.ARCHIVE.FIELD.nodatawithsearchcondition"));
    FillGrid(*rows);
    // Every listed item starts as not carried.
    for (int r = 1; r < ui->Grid->rows(); ++r)
        if (ui->Grid->text(r, kColTrans).isEmpty()) ui->Grid->setText(r, kColTrans, noText());
    cellChanged(ui->Grid->rows() > 1 ? 1 : 0);
    if (ui->Grid->rows() > 1) ui->Grid->setCurrentRow(1);
}

void FrmManage::LoadExistingRules() {
    if (!m_rules) return;
    ui->RefcTableName->setText(m_sourceDesc);
    ui->RefcTargetTable->setText(m_targetDesc);
    const int btrans = m_rules->fieldIndex(QStringLiteral("btrans"));
    for (int i = 0; i < m_rules->recordCount(); ++i) {
        const QString column = host::variantText(m_rules->at(i, m_rules->fieldIndex("cextendfield")));
        for (int r = 1; r < ui->Grid->rows(); ++r) {
            if (ui->Grid->text(r, kColField).compare(column, Qt::CaseInsensitive) != 0) continue;
            ui->Grid->setText(r, kColTrans,
                              FormatCellValue(m_rules->at(i, btrans), m_rules->field(btrans).type));
            ui->Grid->setText(r, kColDesc, host::variantText(m_rules->at(i, m_rules->fieldIndex("cdesc"))));
            ui->Grid->setText(r, kColGuid, host::variantText(m_rules->at(i, m_rules->fieldIndex("guid"))));
        }
    }
    setSaveEnabled(false);
    setProperty("dirty", false);  // what is shown is what is stored
}

void FrmManage::chooseSource(const host::RecordSet& row) {
    host::RecordSet r = row;
    r.moveFirst();
    if (fieldText(r, "ctablename").compare(m_sourceTable, Qt::CaseInsensitive) != 0) {
        // The earlier source's target may not be a target of this one.
        m_targetTable.clear();
        m_targetDesc.clear();
        ui->RefcTargetTable->setText(QString());
    }
    m_typeCode = fieldText(r, "ctype");
    m_subId = fieldText(r, "csub_id");
    m_sourceTable = fieldText(r, "ctablename");
    m_sourceDesc = userdef::SessionNames::read().tableLong(m_sourceTable, fieldText(r, "ctabledesc"));
    ui->RefcTableName->setText(m_sourceDesc);
    ui->RefcTargetTable->setEnabled(true);
    FillItemGrid();
}

void FrmManage::chooseTarget(const host::RecordSet& row) {
    host::RecordSet r = row;
    r.moveFirst();
    m_targetTable = fieldText(r, "ctablename");
    m_targetDesc = userdef::SessionNames::read().tableLong(m_targetTable, fieldText(r, "ctabledesc"));
    ui->RefcTargetTable->setText(m_targetDesc);
    FillItemGrid();
}

bool FrmManage::beforeTargetLookup() {
    if (ui->RefcTableName->text().isEmpty() || m_sourceTable.isEmpty()) {
        if (userdef::g_Pub)
            userdef::g_Pub->MsgBox(userdef::ResText("Q9.AA.ARCHIVE.FIELD.firsttochoosesourcetable"),
                                   host::MsgButtons::Ok, QString());
        return false;
    }
    return ui->RefcTargetTable->setReference(
        userdef::g_SrvDB.get(),
        BuildRuleEditorTableRef(EditorRef::TargetOfSource, m_typeCode, m_sourceTable));
}

void FrmManage::cellChanged(int row) {
    setSaveEnabled(true);
    userdef::ReRefreshZxTlb(this);
    m_currentRow = row;
    setProperty("dirty", true);
}

void FrmManage::setSaveEnabled(bool on) {
    if (QAction* a = controls::HostToolbar::classicAction(ui->Tlb, QStringLiteral("SaveRs")))
        a->setEnabled(on);
    userdef::ReRefreshZxTlb(this);
}

bool FrmManage::saveEnabled() const {
    QAction* a = controls::HostToolbar::classicAction(ui->Tlb, QStringLiteral("SaveRs"));
    return a && a->isEnabled();
}

std::pair<bool, QString> FrmManage::CheckRule() {
    if (ui->RefcTableName->text().isEmpty() || ui->RefcTargetTable->text().isEmpty() ||
        m_sourceTable.isEmpty() || m_targetTable.isEmpty())
        return {false, QStringLiteral("Q9.AA.ARCHIVE.FIELD.cannotnull")};
    if (ui->Grid->rows() < 2)
        return {false, QStringLiteral("Q9.AA.ARCHIVE.FIELD.nothavejointlydefineitem")};
    // The pair must have a carry-over path; the field-pair table is filled for the first item.
    if (!userdef::g_SrvDB) return {false, QStringLiteral("Q9.AA.ARCHIVE.FIELD.configurationthetable")};
    const std::optional<QString> path = FindMakeVouchPath(
        *userdef::g_SrvDB, m_sourceTable, m_targetTable, ui->Grid->text(1, kColField));
    if (!path || path->isEmpty())
        return {false, QStringLiteral("Q9.AA.ARCHIVE.FIELD.configurationthetable")};
    return {true, QString()};
}

QString FrmManage::BuildRuleXml(bool* ok) {
    *ok = true;
    QString out;
    for (int r = 1; r < ui->Grid->rows(); ++r) {
        const QString column = ui->Grid->text(r, kColField);
        QString error;
        const std::optional<QString> path =
            FindMakeVouchPath(*userdef::g_SrvDB, m_sourceTable, m_targetTable, column, &error);
        if (!path) {
            qCWarning(lcCarryOver) << "carry-over path of" << column << ":" << error;
            *ok = false;
            return {};
        }
        RuleRecord rule;
        rule.cMakeVouchID = *path;
        rule.cSub_id = m_subId;
        rule.cType = m_typeCode;
        rule.cextendfield = column;
        rule.cTableName = m_sourceTable;
        rule.cTargetTable = m_targetTable;
        rule.btrans = ui->Grid->text(r, kColTrans) == yesText();
        rule.cdesc = ui->Grid->text(r, kColDesc);
        if (m_editMode == 2) rule.guid = ui->Grid->text(r, kColGuid);
        out += RuleRecordXml(rule);
    }
    return out;
}

bool FrmManage::SaveRs() { return SaveRs(m_editMode); }

bool FrmManage::SaveRs(int mode) {
    const auto [valid, message] = CheckRule();
    if (!valid) {
        userdef::ShowMsg(userdef::ResText(message));
        return false;
    }
    bool built = false;
    const QString records = BuildRuleXml(&built);
    if (!built) {
        userdef::ShowMsg(userdef::ResText("Q9.AA.ARCHIVE.FIELD.configurationthetable"));
        return false;
    }
    QString error;
    if (SendRuleRecords(mode, records, &error)) return true;
    if (!error.isEmpty()) userdef::ShowMsg(error);
    return false;
}

bool FrmManage::Operating(const QString& key) {
    if (userdef::g_Pub) userdef::g_Pub->HelpShow(this, key);
    const auto is = [&key](const char* name) {
        return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (is("SaveRs")) {
        ui->Grid->commitEdit();
        if (!SaveRs(m_editMode)) {
            setSaveEnabled(false);  // until the next change
            return true;
        }
        if (userdef::g_Pub)
            userdef::g_Pub->IsLockFun(userdef::g_SrvDB.get(), userdef::g_Login.get(),
                                      QStringLiteral("SaleType"), -2);
        if (m_editMode == 1) m_editMode = 2;
        setSaveEnabled(false);
        setProperty("dirty", false);
        if (m_afterSave) m_afterSave();
    } else if (is("Help")) {
        // Answered by the public service: the window's help topic.
    } else if (is("Exit")) {
        close();
    } else {
        return false;
    }
    userdef::ReRefreshZxTlb(this);
    return true;
}

bool FrmManage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && ui->Grid->currentCol() >= kColDesc &&
            (m_editMode == 1 || m_editMode == 2)) {
            Operating(QStringLiteral("SaveRs"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmManage::closeEvent(QCloseEvent* event) {
    ui->Grid->commitEdit();  // so the close query knows of it
    if (userdef::g_Pub && !userdef::g_Pub->isSaveRs(this)) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace carryover
