#include "archive/FrmZArchive.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>

#include "common/EditKeys.h"
#include "archive/ArchiveLog.h"
#include "archive/PlugInTalk.h"
#include "archive/ValueKeys.h"
#include "common/PrintCommand.h"
#include "archive/ValueRules.h"
#include "archive/ValueUsage.h"
#include "common/Globals.h"
#include "common/InitToolbar.h"
#include "common/PlugInCommon.h"
#include "common/SessionNames.h"
#include "common/ShowMsg.h"
#include "common/TextHelpers.h"
#include "controls/Grid.h"
#include "controls/HostToolbar.h"
#include "controls/RefEdit.h"
#include "host/Quote.h"
#include "ui_FrmZArchive.h"

namespace archive {

namespace {

const QString kColumns = QStringLiteral(" Cvalue,Calias,CbarCode,cParentValue,bFreeStop ");
const QString kLockName = QStringLiteral("UserDefine");
constexpr int kYesNoCancelQuestion = 3 | host::MsgButtons::Question;

bool is(const QString& command, const char* name) {
    return command.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

}  // namespace

FrmZArchive::FrmZArchive(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmZArchive>()), m_host(nullptr) {
    ui->setupUi(this);
    userdef::KeepEditKeys(this);
    setProperty("helpTopic", QStringLiteral("UserDefine"));
    // The value grid takes the height; the definition and the edit tab keep theirs.
    ui->MainLayout->setStretchFactor(ui->Grid, 1);
    ui->SSTab1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    m_host = new controls::HostToolbar(this);
    m_host->setObjectName(QStringLiteral("TLB2"));
    m_host->hide();

    for (QAction* a : ui->Tlb->actions()) {
        if (a->isSeparator()) continue;
        connect(a, &QAction::triggered, this, [this, a] { ButtonClick(a->objectName()); });
    }
    connect(m_host, &controls::HostToolbar::buttonClicked, this,
            [this](const QString& key) { ButtonClick(key); });
    connect(grid(), &controls::Grid::currentRowChanged, this, [this](int row) {
        if (!m_filling) RowSelected(row);
    });
    // A click on the row already current (after a save it is selected but not shown) shows it.
    connect(grid(), &controls::Grid::cellClicked, this, [this](int row) {
        if (!m_filling && row >= 1 && row == grid()->currentRow() &&
            (m_editMode != kBrowse || ui->EdtcValue->text() != grid()->text(row, kColValue)))
            RowSelected(row);
    });
    grid()->setEditTriggers(QAbstractItemView::NoEditTriggers);  // never edits in a cell
    // Right button: sort the current column up or down.
    grid()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        QAction* up = menu.addAction(res(QStringLiteral("Q9.AA.ARCHIVE.COMMON.asc")));
        up->setObjectName(QStringLiteral("mAsc"));
        QAction* down = menu.addAction(res(QStringLiteral("Q9.AA.ARCHIVE.COMMON.desc")));
        down->setObjectName(QStringLiteral("mDesc"));
        QAction* chosen = menu.exec(grid()->viewport()->mapToGlobal(at));
        if (chosen && userdef::g_Pub)
            userdef::g_Pub->GridSortNew(grid(), chosen->objectName());
    });
    grid()->horizontalHeader()->setSortIndicatorShown(true);
    connect(grid()->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int col) {
        controls::Grid* g = grid();
        const Qt::SortOrder order = g->horizontalHeader()->sortIndicatorOrder();
        const bool stop = col == kColFreeStop;
        // The stop column sorts by its tick: "1" ticked, "-1" not, emptied again after.
        if (stop)
            for (int r = 1; r < g->rows(); ++r)
                g->setText(r, col, g->checkState(r, col) == Qt::Checked ? QStringLiteral("1")
                                                                        : QStringLiteral("-1"));
        g->sort(col, order);
        if (stop)
            for (int r = 1; r < g->rows(); ++r) g->setText(r, col, {});
    });

    for (QLineEdit* edit : {valueEdit(), ui->EdtcAlias, ui->EdtcBarCode, parentEdit()})
        connect(edit, &QLineEdit::textChanged, this, [this] { EnableSave(); });
    connect(ui->EdtcValue, &controls::RefEdit::lookupReturned, this,
            [this](host::RecordSetPtr rows) { ValueLookedUp(rows); });
    connect(ui->chkbFreeStop, &QCheckBox::clicked, this, [this] { EnableSave(); });
    connect(ui->SSTab1, &QTabWidget::currentChanged, this, [this](int tab) {
        const int previous = ui->SSTab1->property("previousTab").toInt();
        if (m_plugIns)
            for (const auto& p : *m_plugIns) p->TabPageChanged(previous, tab);
        ui->SSTab1->setProperty("previousTab", tab);
    });

    BarCodeFilter::install(ui->EdtcBarCode);
    // The window's key hook: every control reports its keys here first.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

FrmZArchive::~FrmZArchive() {
    releaseValueLock();  // a window released without being closed holds no value lock either
    if (m_plugIns)
        for (const auto& p : *m_plugIns) p->UnLoadPlugInControls();
}

controls::Grid* FrmZArchive::grid() const { return ui->Grid; }

QAction* FrmZArchive::button(const QString& key) const {
    return controls::HostToolbar::classicAction(ui->Tlb, key);
}

QLineEdit* FrmZArchive::box(const QString& objectName) const {
    if (auto* ref = findChild<controls::RefEdit*>(objectName)) return ref->lineEdit();
    return findChild<QLineEdit*>(objectName);
}

controls::RefEdit* FrmZArchive::lookupBox(const QString& objectName) const {
    return findChild<controls::RefEdit*>(objectName);
}

QLineEdit* FrmZArchive::valueEdit() const { return ui->EdtcValue->lineEdit(); }
QLineEdit* FrmZArchive::parentEdit() const { return ui->EdtcParentValue->lineEdit(); }

QString FrmZArchive::res(const QString& key) const {
    return userdef::g_Pub ? userdef::g_Pub->GetResString(key) : key;
}

void FrmZArchive::setArchivePlugin(std::shared_ptr<host::PlugInCollection> plugIns) {
    m_plugIns = std::move(plugIns);
}

void FrmZArchive::init(host::RecordSetPtr items) { m_items = std::move(items); }

void FrmZArchive::setButton(const QString& key, bool enabled) {
    if (QAction* a = button(key)) a->setEnabled(enabled);
}

bool FrmZArchive::buttonEnabled(const QString& key) const {
    const QAction* a = button(key);
    return a && a->isEnabled();
}

void FrmZArchive::showEvent(QShowEvent* event) {
    Load();
    QDialog::showEvent(event);
}

void FrmZArchive::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    userdef::ReRefreshZxTlb(this);
}

void FrmZArchive::Load() {
    if (m_loaded) return;
    m_loaded = true;
    if (userdef::g_Pub) userdef::g_Pub->FrmUniteFont(this);
    m_editMode = kBrowse;
    ApplyTexts();
    SetupToolbar();
    ReadColumnSizes();
    SetEditEnabled(false);
    m_gridEvents = true;
    Fillallfields();
    userdef::ReRefreshZxTlb(this);
}

void FrmZArchive::ApplyTexts() {
    const QList<QPair<QWidget*, const char*>> captions = {
        {ui->LblcClass, "Q9.AA.USERDEF.cclass"},         {ui->LblCType, "Q9.AA.USERDEF.ctype"},
        {ui->LblCItem, "Q9.AA.USERDEF.citem"},           {ui->LblcItemName, "Q9.AA.USERDEF.citemname"},
        {ui->LbliLength, "Q9.AA.USERDEF.imaxlen"},       {ui->LbliDataSource, "Q9.AA.USERDEF.idatasource"},
        {ui->LblcRelArchive, "Q9.AA.USERDEF.crelarchive"}, {ui->LblcRelField, "Q9.AA.USERDEF.crelfield"},
        {ui->LblcValue, "Q9.AA.USERDEF.cvalue"},         {ui->LblcBarCode, "Q9.AA.USERDEF.cbarcode"},
        {ui->LblcParentValue, "Q9.AA.ARCHIVE.ConstraintUserdefine"},
        {ui->chkbFreeStop, "Q9.AA.ARCHIVE.FIELD.bstopuse"}, {ui->LblcAlias, "Q9.AA.USERDEF.calias"},
    };
    for (const auto& [widget, key] : captions) widget->setProperty("text", res(QLatin1String(key)));
    setWindowTitle(res(QStringLiteral("Q9.AA.ARCHIVE.userdefsetval")));
    ui->SSTab1->setTabText(0, res(QStringLiteral("Q9.AA.ARCHIVE.FIELD.base")));
}

void FrmZArchive::SetupToolbar() {
    m_host->setPub(userdef::g_Pub.get());
    m_host->Init(ui->Tlb, userdef::g_Login.get(), QStringLiteral("Archives_UserDef_Archive"),
                 QStringLiteral("AS"));
    userdef::InitToolbar(this, ui->Tlb, m_host, {}, this, {});
    for (const char* key : {"Modify", "Delete", "SaveRs"}) setButton(QLatin1String(key), false);
}

void FrmZArchive::ReadColumnSizes() {
    if (!userdef::g_SrvDB) return;
    const host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(
        QStringLiteral("select ") + kColumns + QStringLiteral(" from Userdefine where 1=2"));
    if (!rs) return;
    const QList<QPair<QLineEdit*, const char*>> boxes = {{valueEdit(), "Cvalue"},
                                                         {ui->EdtcAlias, "Calias"},
                                                         {ui->EdtcBarCode, "CbarCode"},
                                                         {parentEdit(), "cParentValue"}};
    for (const auto& [edit, name] : boxes) {
        const int f = rs->fieldIndex(QLatin1String(name));
        const int size = f >= 0 ? rs->field(f).definedSize : 0;
        if (size > 0) edit->setMaxLength(size);
        if (edit == valueEdit()) m_valueSize = size;
    }
}

void FrmZArchive::Fillallfields() {
    if (!m_items || m_items->isEmpty()) return;
    const int position = m_items->absolutePosition();
    if (position == 1) {
        setButton(QStringLiteral("First"), false);
        setButton(QStringLiteral("Previous"), false);
    } else if (position == m_items->recordCount()) {
        setButton(QStringLiteral("Next"), false);
        setButton(QStringLiteral("Last"), false);
    }
    const host::RecordSet& item = *m_items;
    m_itemId = item.text(QStringLiteral("cId"));

    const QString cClass = item.text(QStringLiteral("cClass"));
    ui->EdtcClass->setProperty("tag", cClass);
    if (const auto text = classText(cClass)) ui->EdtcClass->setText(*text);

    m_itemType = item.text(QStringLiteral("cType"));
    ui->EdtCType->setProperty("tag", m_itemType);
    if (const auto text = typeText(m_itemType))
        ui->EdtCType->setText(*text);
    else if (userdef::g_Pub)
        userdef::g_Pub->MsgBox(QStringLiteral("FillField:No Key match"), host::MsgButtons::Ok,
                               res(QStringLiteral("Q9.AA.ARCHIVE.COMMON.exclamation")));

    const QString citem = item.text(QStringLiteral("citem"));
    ui->EdtCItem->setProperty("tag", citem);
    // The item as the catalogue shows it; its name goes to the name box.
    ui->EdtCItem->setText(userdef::ItemLabelText(citem));
    m_freeItem = archive::isFreeItem(citem);
    ui->EdtcBarCode->setVisible(m_freeItem);
    ui->LblcBarCode->setVisible(m_freeItem);

    ui->EdtcItemName->setText(userdef::SessionNames::read().item(
        item.text(QStringLiteral("cId")), item.text(QStringLiteral("citemname"))));
    ui->EdtiLength->setText(item.text(QStringLiteral("iLength")));
    ui->EdtiDataSource->setText(dataSourceText(item.text(QStringLiteral("iDataSource"))));

    m_relArchive = item.text(QStringLiteral("cRelArchive"));
    m_relField = item.text(QStringLiteral("cRelField"));
    ui->EdtcRelArchive->clear();
    ui->EdtcRelField->clear();
    if (!m_relArchive.isEmpty() && !m_relField.isEmpty() && userdef::g_SrvDB) {
        const host::RecordSetPtr rel = userdef::g_SrvDB->OpenX(
            QStringLiteral("select Rpt_GRPDef_Item.TableName,TableDefine,FieldName,FieldDef from "
                           "Rpt_GRPDef_Item Left Join Rpt_ItmDef On "
                           "Rpt_GRPDef_Item.TableName=Rpt_ItmDef.TableName where "
                           "Rpt_GRPDef_Item.TableName='") +
            host::sqlValue(m_relArchive) + QStringLiteral("' and FieldName='") +
            host::sqlValue(m_relField) + QStringLiteral("'"));
        if (rel && !rel->isEmpty()) {
            rel->moveFirst();
            const userdef::SessionNames shown = userdef::SessionNames::read();
            ui->EdtcRelArchive->setText(
                shown.archive(m_relArchive, rel->text(QStringLiteral("TableDefine"))));
            ui->EdtcRelField->setText(
                shown.archiveField(m_relArchive, m_relField, rel->text(QStringLiteral("FieldDef"))));
        }
    }

    // A text item's values are no longer than the item's length, nor than the column.
    int maxLength = m_valueSize > 0 ? m_valueSize : 32767;
    bool numeric = false;
    const int length = ui->EdtiLength->text().toInt(&numeric);
    if (m_itemType == QStringLiteral("文本") && numeric && length > 0)
        maxLength = std::min(length, maxLength);
    ui->EdtcValue->setPlainMode();
    ui->EdtcValue->setMaxLength(maxLength);
    // Values from a related archive are looked up in its field; the parent value among the
    // parent item's values.
    if (!ui->EdtcRelArchive->text().isEmpty() && !ui->EdtcRelField->text().isEmpty())
        SetValueLookup(ui->EdtcValue, QStringLiteral("select distinct ") + host::sqlIdent(m_relField) +
                                          QStringLiteral(" as cValue from ") +
                                          host::sqlIdent(m_relArchive),
                       ui->EdtcRelArchive->text(), ui->EdtcRelField->text());
    const QString parentId = item.text(QStringLiteral("cParentID"));
    ui->EdtcParentValue->setProperty("tag", parentId);
    if (parentId.isEmpty())
        ui->EdtcParentValue->setPlainMode();
    else
        SetValueLookup(ui->EdtcParentValue,
                       QStringLiteral("select cValue from userdefine where cId='") +
                           host::sqlValue(parentId) + QStringLiteral("'"),
                       ui->LblcParentValue->text(), ui->LblcValue->text());
    ui->chkbFreeStop->setVisible(hasStopFlag(m_itemId));
    // The definition boxes are read only: each is as wide as its whole text, shown from its start.
    for (QLineEdit* box : ui->Frame2->findChildren<QLineEdit*>()) {
        const QMargins text = box->textMargins() + box->contentsMargins();
        const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(box->text()) + text.left() +
                             text.right() + 2 * frame + 8);
        box->setCursorPosition(0);
    }
    FillGrid();
}

void FrmZArchive::FillGrid() {
    controls::Grid* g = grid();
    host::RecordSetPtr rs;
    if (userdef::g_SrvDB)
        rs = userdef::g_SrvDB->OpenX(QStringLiteral("select ") + kColumns +
                                     QStringLiteral(" from userdefine where cId='") +
                                     host::sqlValue(m_itemId) +
                                     QStringLiteral("' order by pubzxts"));
    if (!rs) {
        qCWarning(lcArchive) << "values of item" << m_itemId << "not read:"
                             << (userdef::g_SrvDB ? userdef::g_SrvDB->lastError() : QString());
        rs = std::make_shared<host::RecordSet>();
    }
    m_filling = true;
    g->setRedraw(false);
    g->setCols(kValueCols);
    g->setCheckColumn(kColFreeStop, true);
    if (g->text(0, 0).isEmpty()) {
        const QStringList headers = {res(QStringLiteral("Q9.AA.ARCHIVE.COMMON.serialnumber")),
                                     ui->LblcValue->text(),  ui->LblcAlias->text(),
                                     ui->LblcBarCode->text(), ui->LblcParentValue->text(),
                                     ui->chkbFreeStop->text()};
        for (int c = 0; c < kValueCols; ++c) {
            g->setText(0, c, headers.at(c));
            g->setColWidth(c, 2500);
        }
        g->setColWidth(kColNumber, 1000);
    }
    g->setColWidth(kColBarCode, m_freeItem ? 1700 : 0);
    g->setColWidth(kColFreeStop, hasStopFlag(m_itemId) ? 1000 : 0);
    const int count = rs->recordCount();
    // The grid shows the values' record set: the number, the four texts and the stop flag.
    std::vector<host::GridField> columns(static_cast<size_t>(kValueCols));
    columns[kColNumber] = {host::GridField::Counter, -1, {}};
    for (int f = 0; f < 4; ++f) columns[size_t(f + 1)] = {host::GridField::Text, f, {}};
    columns[kColFreeStop] = {host::GridField::Check, 4, {}};
    g->showRecordSet(rs, std::move(columns));
    LoadValuePlugIns();
    if (count > 0) {
        m_currentRow = 1;
        if (m_plugIns)
            for (int row = 1; row <= count; ++row)
                for (const auto& p : *m_plugIns) p->FillGridCell(row);
    }
    g->setRedraw(true);
    m_filling = false;
}

void FrmZArchive::LoadValuePlugIns() {
    if (m_freeItem) {
        if (m_plugIns && property("plugInItem").toString() == m_itemId) return;
        if (m_plugIns)
            for (const auto& p : *m_plugIns) p->UnLoadPlugInControls();
        m_plugIns.reset();
        if (!userdef::LoadPlugIns(QStringLiteral("UserDefValue"), userdef::g_Login.get(), m_plugIns))
            return;
        setProperty("plugInItem", m_itemId);
        for (const auto& p : *m_plugIns) {
            p->init(QStringLiteral("UserDefValue"), m_itemId, this);
            p->LoadPlugInControls(ui->SSTab1);
        }
    } else if (m_plugIns) {
        for (const auto& p : *m_plugIns) p->UnLoadPlugInControls();
        m_plugIns.reset();
        setProperty("plugInItem", QVariant());
    }
}

void FrmZArchive::RowSelected(int row) {
    if (!m_gridEvents) {
        m_gridEvents = true;
        return;
    }
    if (m_editMode == kAdding || m_editMode == kModifying) {
        if (grid()->rows() < 2) return;
        if (!LeaveEdit()) {
            // The edit goes on: the row being edited stays the current one.
            m_filling = true;
            grid()->setCurrentRow(m_currentRow);
            m_filling = false;
            return;
        }
        row = grid()->currentRow();  // after a save the list was read again
        if (m_plugIns)
            for (const auto& p : *m_plugIns) p->CurrentState() == 3 ? p->EndModify() : p->EndAdd();
    }
    SetEditEnabled(false);
    m_currentRow = row;
    if (row < 1) {
        SetRowButtons(false);
    } else {
        controls::Grid* g = grid();
        valueEdit()->setText(g->text(row, kColValue));
        ui->EdtcAlias->setText(g->text(row, kColAlias));
        ui->EdtcBarCode->setText(g->text(row, kColBarCode));
        parentEdit()->setText(g->text(row, kColParentValue));
        ui->chkbFreeStop->setChecked(g->checkState(row, kColFreeStop) == Qt::Checked);
        if (m_plugIns)
            for (const auto& p : *m_plugIns) p->ActivateGridColumnControl(row);
        SetRowButtons(true);
        setButton(QStringLiteral("Add"), true);
        releaseValueLock();
        setButton(QStringLiteral("SaveRs"), false);
        m_editMode = kBrowse;
    }
    userdef::ReRefreshZxTlb(this);
}

void FrmZArchive::ButtonClick(const QString& key) {
    Operating(key);
    if (!is(key, "Exit") && !m_closing) {
        SetRowButtons(false);
        userdef::ReRefreshZxTlb(this);
    }
}

bool FrmZArchive::Operating(const QString& command) {
    if (userdef::g_Pub) userdef::g_Pub->HelpShow(this, command);
    bool done = true;
    if (is(command, "SetUp") || is(command, "Print") || is(command, "Preview") ||
        is(command, "SaveFile")) {
        PrintAll(command);
    } else if (is(command, "Add")) {
        done = AddOrModify(false);
    } else if (is(command, "Modify")) {
        done = AddOrModify(true);
    } else if (is(command, "Delete")) {
        done = DeleteValue();
    } else if (is(command, "SaveRs")) {
        done = SaveValue();
    } else if (is(command, "first") || is(command, "previous") || is(command, "next") ||
               is(command, "last")) {
        done = Navigate(command);
    } else if (is(command, "Pos")) {
        if (userdef::g_Pub) userdef::g_Pub->FindPos(this, grid());
    } else if (is(command, "Exit")) {
        close();
        return true;
    }
    if (done) FollowEditMode();
    return done;
}

void FrmZArchive::FollowEditMode() {
    const bool browsing = m_editMode == kBrowse;
    setButton(QStringLiteral("Add"), browsing);
    setButton(QStringLiteral("Modify"), false);
    setButton(QStringLiteral("Delete"), false);
    userdef::ReRefreshZxTlb(this);
}

bool FrmZArchive::takeValueLock() {
    if (!userdef::g_Pub) return true;
    if (userdef::g_Pub->IsLockFun(userdef::g_SrvDB.get(), userdef::g_Login.get(), kLockName, 2,
                                  true, m_itemId))
        return false;
    m_lockHeld = true;
    return true;
}

void FrmZArchive::releaseValueLock() {
    if (!m_lockHeld || !userdef::g_Pub) return;
    userdef::g_Pub->IsLockFun(userdef::g_SrvDB.get(), userdef::g_Login.get(), kLockName, -2, true,
                              m_itemId);
    m_lockHeld = false;
}

bool FrmZArchive::AddOrModify(bool modify) {
    if (!modify && m_editMode == kModifying) {
        // Add ends the modify: its changes are saved or dropped as the user answers.
        if (!LeaveEdit()) return false;
        if (m_editMode == kModifying) {
            releaseValueLock();
            m_editMode = kBrowse;
        }
    }
    if (m_plugIns)
        for (const auto& p : *m_plugIns) modify ? p->StartModify() : p->StartAdd();
    if (m_editMode == kAdding) return false;
    if (modify && (m_currentRow < 1 || grid()->rows() < 2)) return false;  // nothing chosen
    if (!takeValueLock()) return false;
    m_editMode = modify ? kModifying : kAdding;
    SetEditEnabled(true);
    if (modify)
        m_oldValue = valueEdit()->text();
    else
        ClearEditFields();
    m_editStart = EditTexts();
    m_plugInChanged = false;
    valueEdit()->setFocus();
    return true;
}

QStringList FrmZArchive::EditTexts() const {
    return {valueEdit()->text(), ui->EdtcAlias->text(), ui->EdtcBarCode->text(),
            parentEdit()->text(), ui->chkbFreeStop->isChecked() ? QStringLiteral("1") : QString()};
}

bool FrmZArchive::Changed() const {
    return m_editMode != kBrowse && (m_plugInChanged || EditTexts() != m_editStart);
}

bool FrmZArchive::LeaveEdit() {
    if (!Changed()) return true;
    if (!userdef::g_Pub) return false;
    const int answer = userdef::g_Pub->MsgBox(
        res(QStringLiteral("Q9.AAARCHIVE.COMMON.savearch_ornot")), kYesNoCancelQuestion,
        res(QStringLiteral("Q9.AA.ARCHIVE.COMMON.exclamation")));
    if (answer == host::MsgAnswer::Yes) return Operating(QStringLiteral("SaveRs"));
    return answer == host::MsgAnswer::No;
}

bool FrmZArchive::DeleteValue() {
    if (m_plugIns)
        for (const auto& p : *m_plugIns) p->SetQ9ArchiveDbSrv(userdef::g_SrvDB.get());
    controls::Grid* g = grid();
    if (g->rows() < 2) return false;
    SetRowButtons(false);
    const int row = g->currentRow();
    if (row < 1) return false;
    if (!takeValueLock()) return false;
    const int top = g->topRow();
    const QString value = g->text(row, kColValue);
    // A value held by archive records asks with their count instead (Yes deletes it anyway).
    const QString usage =
        UsageQuestion(value, ReadValueUsage(userdef::g_SrvDB.get(), m_itemId, value));
    const int answer =
        !userdef::g_Pub ? host::MsgAnswer::No
        : !usage.isEmpty()
            ? userdef::g_Pub->MsgBox(usage, host::MsgButtons::YesNoQuestion,
                                     res(QStringLiteral("Q9.AA.ARCHIVE.COMMON.exclamation")))
            : userdef::g_Pub->MsgBox(
                  userdef::g_Pub->GetResFormatString(QStringLiteral("Q9.AA.USERDEF.FRMZARCHIVE.597_1"), {value}),
                  host::MsgButtons::YesNoWarning, res(QStringLiteral("Q9.AA.ARCHIVE.COMMON.exclamation")));
    if (answer == host::MsgAnswer::Yes) {
        if (DeleteUserDefineRs(m_itemId, value)) ClearEditFields();
        FillGrid();
    }
    releaseValueLock();
    if (userdef::g_Pub) userdef::g_Pub->SetGridRow(g, {}, {}, row, top);
    return true;
}

bool FrmZArchive::SaveValue() {
    if (m_plugIns)
        for (const auto& p : *m_plugIns) p->SetQ9ArchiveDbSrv(userdef::g_SrvDB.get());
    if (!CheckValue() || !CheckParentValue()) return false;
    // Stopping a value that archive records hold asks first; No keeps the edit as it is.
    const bool wasStopped = m_editMode == kModifying && m_currentRow >= 1 &&
                            m_currentRow < grid()->rows() &&
                            grid()->checkState(m_currentRow, kColFreeStop) == Qt::Checked;
    if (hasStopFlag(m_itemId) && ui->chkbFreeStop->isChecked() && !wasStopped &&
        !ConfirmValueUse(m_itemId, m_editMode == kModifying ? m_oldValue : valueEdit()->text()))
        return false;
    if (!SaveUserDefineRs(m_itemId, m_oldValue, m_editMode)) return false;
    if (m_plugIns)
        for (const auto& p : *m_plugIns) p->CurrentState() == 3 ? p->EndModify() : p->EndAdd();
    releaseValueLock();
    const int previous = m_editMode;
    m_editMode = kBrowse;
    const QString saved = valueEdit()->text();
    FillGrid();
    SetEditEnabled(false);
    SetRowButtons(false);
    if (userdef::g_Pub) userdef::g_Pub->SetGridRow(grid(), saved, ui->LblcValue->text(), 0, 2);
    ClearEditFields();
    setButton(QStringLiteral("SaveRs"), false);
    if (previous == kAdding) Operating(QStringLiteral("Add"));  // ready for the next value
    return true;
}

bool FrmZArchive::Navigate(const QString& command) {
    if (!LeaveEdit()) return false;
    ClearEditFields();
    SetEditEnabled(false);
    // Leaving the item ends its edit.
    releaseValueLock();
    m_editMode = kBrowse;
    if (!m_items || m_items->isEmpty()) return true;
    const auto enable = [this](std::initializer_list<const char*> keys, bool on) {
        for (const char* key : keys) setButton(QLatin1String(key), on);
    };
    if (is(command, "first")) {
        m_items->moveFirst();
        enable({"First", "Previous"}, false);
        enable({"Next", "Last"}, true);
    } else if (is(command, "previous")) {
        m_items->movePrevious();
        enable({"Next", "Last"}, true);
        if (m_items->bof()) {
            m_items->moveFirst();
            enable({"First", "Previous"}, false);
        }
    } else if (is(command, "next")) {
        m_items->moveNext();
        enable({"First", "Previous"}, true);
        if (m_items->eof()) {
            m_items->moveLast();
            enable({"Next", "Last"}, false);
        }
    } else {
        m_items->moveLast();
        enable({"Next", "Last"}, false);
        enable({"First", "Previous"}, true);
    }
    m_currentRow = 0;
    // The caller's parent flag spoke of the item it opened; another item has its own parent.
    m_hasParentDefine = !m_items->text(QStringLiteral("cParentID")).isEmpty();
    Fillallfields();
    return true;
}

bool FrmZArchive::CheckValue() {
    const ValueProblem problem = checkValue(valueEdit()->text(), ui->EdtcAlias->text(), m_editMode,
                                            isDateType(m_itemType), *grid(), m_currentRow);
    if (problem == ValueProblem::None) return true;
    ShowProblem(problemKey(problem),
                problem == ValueProblem::AliasExists ? ui->EdtcAlias : valueEdit());
    return false;
}

void FrmZArchive::ShowProblem(const QString& key, QWidget* focus) {
    userdef::ShowMsg(res(key));
    if (focus) focus->setFocus();
}

void FrmZArchive::SetEditEnabled(bool enabled) {
    ui->EdtcValue->setReadOnly(!enabled);
    for (QLineEdit* edit : {ui->EdtcAlias, ui->EdtcBarCode}) edit->setReadOnly(!enabled);
    ui->chkbFreeStop->setEnabled(enabled);
    if (!enabled || m_hasParentDefine) ui->EdtcParentValue->setReadOnly(!enabled);
}

void FrmZArchive::ClearEditFields() {
    for (QLineEdit* edit : {valueEdit(), ui->EdtcAlias, ui->EdtcBarCode, parentEdit()})
        edit->clear();
    ui->chkbFreeStop->setChecked(false);
    setButton(QStringLiteral("SaveRs"), false);
}

void FrmZArchive::SetRowButtons(bool enabled) {
    setButton(QStringLiteral("Modify"), enabled);
    setButton(QStringLiteral("Delete"), enabled);
}

void FrmZArchive::EnableSave() {
    setButton(QStringLiteral("SaveRs"), true);
    userdef::ReRefreshZxTlb(this);
}

ValueBoxes FrmZArchive::boxes() const {
    // The boxes the item has, whichever tab is in front: bar codes for free items, the stop flag
    // for items 20 to 35.
    return {valueEdit(), ui->EdtcAlias, m_freeItem ? ui->EdtcBarCode : nullptr, parentEdit(),
            hasStopFlag(m_itemId) ? ui->chkbFreeStop : nullptr};
}

void FrmZArchive::WriteUserDefineXML(const QString& itemId, QString& document, int mode,
                                     const QString& oldValue) const {
    archive::WriteUserDefineXML(itemId, document, mode, oldValue, boxes());
}

bool FrmZArchive::SaveUserDefineRs(const QString& itemId, const QString& oldValue, int mode) {
    return archive::SaveUserDefineRs(userdef::g_SrvDB.get(), itemId, oldValue, mode, boxes());
}

bool FrmZArchive::DeleteUserDefineRs(const QString& itemId, const QString& value) {
    return archive::DeleteUserDefineRs(userdef::g_SrvDB.get(), itemId, value);
}

QString FrmZArchive::Talk(const QString& fieldName) { return archive::Talk(fieldName, valueEdit()); }

void FrmZArchive::PlugInNotice(const QString& notice) {
    if (archive::PlugInNotice(notice, button(QStringLiteral("SaveRs")), this)) m_plugInChanged = true;
}

host::IGrid* FrmZArchive::PlugInGrid() { return grid(); }

void FrmZArchive::PrintAll(const QString& command) {
    if (grid()->rows() < 2) {
        userdef::ShowMsg(res(QStringLiteral("Q9.AA.ARCHIVE.COMMON.nodata")));
        return;
    }
    userdef::ColumnFields fields;
    if (command.compare(QLatin1String("SaveFile"), Qt::CaseInsensitive) == 0 && userdef::g_SrvDB &&
        userdef::g_Pub) {
        if (const host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(
                QStringLiteral("select ") + kColumns + QStringLiteral(" from UserDefine where 1=2")))
            for (const host::FieldInfo& f : userdef::g_Pub->GetTypeSize(*rs))
                fields.insert(kColValue + int(fields.size()), f);
        fields.insert(kColNumber, userdef::RowNumberField());
        // The values of a date or number item are written as dates or numbers.
        if (isDateType(m_itemType))
            fields[kColValue].type = host::FieldType::Date;
        else if (m_itemType == QStringLiteral("整数") || m_itemType == QStringLiteral("整型") ||
                 m_itemType == QStringLiteral("数字"))
            fields[kColValue].type = host::FieldType::Double;
    }
    userdef::RunPrintCommand(this, command, kLockName, WriteData(), fields);
}

QString FrmZArchive::WriteData() {
    if (!userdef::g_Pub) return {};
    host::ILogin* login = userdef::g_Login.get();
    return userdef::g_Pub->GetData(grid(), res(QStringLiteral("Q9.AA.ARCHIVE.userdefsetval")),
                                   login ? login->cAcc_id() : QString(),
                                   login ? login->cUserId() : QString(),
                                   login ? login->cUserName() : QString());
}

bool FrmZArchive::eventFilter(QObject* watched, QEvent* event) {
    // A look-up box's line edit speaks for the box.
    if (auto* ref = qobject_cast<controls::RefEdit*>(watched ? watched->parent() : nullptr);
        ref && watched == ref->lineEdit())
        watched = ref;
    if (event->type() == QEvent::KeyPress && HandleKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() == QEvent::FocusOut && watched == ui->EdtcParentValue &&
        m_editMode != kBrowse && !ParentValueValid()) {
        // The parent value box keeps the focus while it holds a text that is not a value of
        // the parent item.
        QTimer::singleShot(0, parentEdit(), [edit = parentEdit()] { edit->setFocus(); });
    }
    return QDialog::eventFilter(watched, event);
}

void FrmZArchive::SetValueLookup(controls::RefEdit* box, const QString& select,
                                 const QString& title, const QString& caption) {
    const QString xml =
        QStringLiteral("<Ref cRefName='") + host::xmlText(title) +
        QStringLiteral("'><RefSet bMultiSel='0' cRetFld='cValue' cShowFld='cValue'/>"
                       "<DataSrc><DataGrid cUserDataSrcQrySelectPart='") +
        host::xmlText(select) +
        QStringLiteral("'/></DataSrc><RefColSet><Q9ColSet><Data><ColSet cFld='cValue' bDisp='1' "
                       "cCaption='") +
        host::xmlText(caption) + QStringLiteral("'/></Data></Q9ColSet></RefColSet></Ref>");
    if (!box->setReference(userdef::g_SrvDB.get(), xml)) box->setPlainMode();
}

void FrmZArchive::ValueLookedUp(const host::RecordSetPtr& rows) {
    if (!rows || rows->isEmpty()) return;
    rows->moveFirst();
    const QString chosen = rows->text(QStringLiteral("cValue"));
    QString cut;
    if (userdef::TruncateText(chosen, cut, valueEdit()->maxLength()) > valueEdit()->maxLength()) {
        valueEdit()->setText(cut);
        userdef::ShowMsg(res(QStringLiteral("Q9.AA.USERDEF.FRMZARCHIVE.58_1")));
    }
}

bool FrmZArchive::ParentValueValid() const {
    const QString text = parentEdit()->text().trimmed();
    if (text.isEmpty() || !ui->EdtcParentValue->isReferenceMode()) return true;
    const host::RecordSetPtr rows = ui->EdtcParentValue->rowsMatching(text);
    return rows && !rows->isEmpty();
}

bool FrmZArchive::CheckParentValue() {
    if (ParentValueValid()) return true;
    ShowProblem(QStringLiteral("Q9.AA.USERDEF.FRMZARCHIVE.parentvalue_notvalid"), parentEdit());
    return false;
}

bool FrmZArchive::HandleKey(QObject* watched, QKeyEvent* key) {
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        const bool saves = watched == ui->EdtcBarCode ||
                           (watched == ui->EdtcAlias && !ui->EdtcBarCode->isVisibleTo(this));
        if (saves && buttonEnabled(QStringLiteral("SaveRs"))) {
            Operating(QStringLiteral("SaveRs"));
            return true;
        }
        if (watched->objectName().toLower().startsWith(QLatin1String("edt"))) {
            focusNextChild();
            return true;
        }
        return false;
    }
    const QString command = hotKeyCommand(*key);
    if (command.isEmpty()) return false;
    if (command == QLatin1String("Exit")) {
        if (!buttonEnabled(QStringLiteral("SaveRs"))) Operating(command);
        return true;
    }
    if (command == QLatin1String("SaveRs")) {
        if (buttonEnabled(command)) Operating(command);
        return true;  // swallowed
    }
    if (command == QLatin1String("Modify") || command == QLatin1String("Delete")) {
        if (!buttonEnabled(command)) return false;  // the box keeps its key
    }
    Operating(command);
    return true;
}

void FrmZArchive::closeEvent(QCloseEvent* event) {
    if (!m_closing) {
        if (!LeaveEdit()) {
            event->ignore();
            return;
        }
        m_closing = true;
        m_lockHeld = true;  // released whatever this window took
        releaseValueLock();
        if (m_plugIns)
            for (const auto& p : *m_plugIns) p->UnLoadPlugInControls();
    }
    QDialog::closeEvent(event);
}

}  // namespace archive
