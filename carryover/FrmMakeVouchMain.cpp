#include "carryover/FrmMakeVouchMain.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

#include "common/EditKeys.h"
#include "carryover/CarryOverLog.h"
#include "carryover/CarryOverSql.h"
#include "carryover/MakeVouchGrid.h"
#include "common/ResText.h"
#include "common/PrintCommand.h"
#include "carryover/RuleRecord.h"
#include "carryover/RuleStore.h"
#include "common/Globals.h"
#include "common/HotKeys.h"
#include "common/InitToolbar.h"
#include "common/ShowMsg.h"
#include "controls/Grid.h"
#include "controls/HostToolbar.h"
#include "controls/RefEdit.h"
#include "ui_FrmMakeVouchMain.h"

namespace carryover {

namespace {


host::RecordSetPtr openRows(const QString& sql) {
    if (!userdef::g_SrvDB) return nullptr;
    host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(sql);
    if (!rs) qCWarning(lcCarryOver) << "statement failed:" << userdef::g_SrvDB->lastError();
    return rs;
}

}  // namespace

FrmMakeVouchMain::FrmMakeVouchMain(QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::FrmMakeVouchMain>()),
      m_host(nullptr),
      m_tabs(new QTabBar(this)) {
    ui->setupUi(this);
    userdef::KeepEditKeys(this);
    setProperty("helpTopic", QStringLiteral("MakeVouchSet"));
    m_tabs->setObjectName(QStringLiteral("TabStp"));
    m_tabs->addTab(QString());
    m_tabs->addTab(QString());
    m_tabs->setExpanding(false);
    ui->TabLayout->insertWidget(0, m_tabs);
    ui->TabLayout->setStretchFactor(ui->Grid, 1);
    ui->TabLayout->setStretchFactor(ui->Grid1, 1);
    ui->MainLayout->setStretchFactor(ui->TabLayout, 1);

    m_host = new controls::HostToolbar(this);
    m_host->setObjectName(QStringLiteral("TLB2"));
    m_host->hide();
    connect(m_host, &controls::HostToolbar::buttonClicked, this,
            [this](const QString& key) { Operating(key); });

    // A click, the keyboard or the wheel: the strip has moved, the window follows.
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0 && index != m_currentTab) clickTab(index);
    });
    connect(ui->OpType_0, &QRadioButton::toggled, this, [this](bool on) {
        if (on) selectTab(HeaderTab);
    });
    connect(ui->OpType_1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) selectTab(BodyTab);
    });
    connect(ui->BtnSelect, &QPushButton::clicked, this, [this] { SearchPairs(); });
    for (int tab : {HeaderTab, BodyTab}) {
        controls::Grid* g = grid(tab);
        // Only a changed box marks its row: a click that changes nothing leaves the window clean.
        connect(g->gridModel(), &controls::GridModel::checkToggled, this,
                [this, tab](int row, int col) { onCheckToggled(tab, row, col); });
    }
    FrmLoadInit();
    SetupHotKeys();
}

FrmMakeVouchMain::~FrmMakeVouchMain() = default;

controls::Grid* FrmMakeVouchMain::grid(int tab) const {
    return tab == BodyTab ? ui->Grid1 : ui->Grid;
}
controls::RefEdit* FrmMakeVouchMain::sourceChooser() const { return ui->RefcTableName; }
controls::RefEdit* FrmMakeVouchMain::targetChooser() const { return ui->RefcTargetTable; }
QString FrmMakeVouchMain::letter() const {
    return m_currentTab == BodyTab ? kBodyLetter : kHeaderLetter;
}

void FrmMakeVouchMain::init() { m_shownByItself = true; }

void FrmMakeVouchMain::FrmLoadInit() {
    if (userdef::g_Pub) userdef::g_Pub->FrmUniteFont(this);
    setWindowTitle(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.FrmMakeVouchMain.Caption"));
    m_host->setPub(userdef::g_Pub.get());
    m_host->Init(ui->Tlb, userdef::g_Login.get(),
                 QStringLiteral("Archives_UserDef_MakeVouch_Main"), QStringLiteral("AA"));
    userdef::InitToolbar(this, ui->Tlb, m_host, QString(), this, QStringLiteral("Voucher"));
    setButtons(false);
    SetTabStripCaption();
    ui->Grid->setVisible(true);
    ui->Grid1->setVisible(false);
    ui->ZxLabel1->setText(userdef::ResText("Q9.AA.ARCHIVE.FIELD.sourcetable"));
    ui->ZxLabel2->setText(userdef::ResText("Q9.AA.ARCHIVE.FIELD.ctargettable"));
    ui->BtnSelect->setText(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.FrmMakeVouchMain.BtnSelect.Caption"));
    ui->FraSearch->setTitle(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.FrmMakeVouchMain.SearchCondition"));
    for (bool target : {false, true}) {
        controls::RefEdit* chooser = target ? ui->RefcTargetTable : ui->RefcTableName;
        if (!chooser->setReference(userdef::g_SrvDB.get(), BuildTableRef(target)))
            qCWarning(lcCarryOver) << "table chooser without a look-up:" << chooser->lastError();
        connect(chooser, &controls::RefEdit::lookupReturned, this,
                [this, target](const host::RecordSetPtr& rows) {
                    if (!rows || rows->isEmpty()) return;
                    const auto at = [&rows](const char* field) {
                        const int f = rows->fieldIndex(QString::fromLatin1(field));
                        return f < 0 ? QString() : host::variantText(rows->at(0, f));
                    };
                    chooseTable(target, {at("ctype"), at("csub_id"), at("ctablename"), at("tabledesc")});
                });
    }
    LoadItemColumns(HeaderTab);
    LoadItemColumns(BodyTab);
    setGridEditable(false);
}

void FrmMakeVouchMain::SetupHotKeys() {
    userdef::AddHotKeys(this, {
        {QKeySequence(Qt::Key_F5), QStringLiteral("Add")},
        {QKeySequence(Qt::Key_Delete), QStringLiteral("Delete")},
        {QKeySequence(Qt::CTRL | Qt::Key_P), QStringLiteral("Print")},
        {QKeySequence(Qt::ALT | Qt::Key_F4), QStringLiteral("Exit")},
        {QKeySequence(Qt::Key_F1), QStringLiteral("Help")},
        {QKeySequence(Qt::Key_F9), QStringLiteral("Refresh")},
    }, [this](const QString& command) { Operating(command); });
}

void FrmMakeVouchMain::SetTabStripCaption() {
    m_tabs->setTabText(HeaderTab, userdef::ResText("Q9.AA.USERDEF.voucherheader"));
    m_tabs->setTabText(BodyTab, userdef::ResText("Q9.AA.USERDEF.voucherbody"));
}

void FrmMakeVouchMain::chooseTable(bool target, const TableChoice& table) {
    (target ? m_target : m_source) = table;
    (target ? ui->RefcTargetTable : ui->RefcTableName)->setText(table.tabledesc);
}

bool FrmMakeVouchMain::LoadItemColumns(int tab) {
    const host::RecordSetPtr items =
        openRows(ItemColumnsSql(tab == BodyTab ? kBodyLetter : kHeaderLetter));
    m_itemNames[tab == BodyTab ? 1 : 0] = carryover::LoadItemColumns(*grid(tab), items.get());
    m_unreadable[tab] = !items;
    return bool(items);
}

void FrmMakeVouchMain::InitGridTitle() { LoadItemColumns(m_currentTab); }

void FrmMakeVouchMain::SearchPairs() {
    m_searchedWith[m_currentTab] = QStringList{ui->RefcTableName->text(), ui->RefcTargetTable->text()};
    if (!LoadItemColumns(m_currentTab) || !FillPairRows() || !LoadRuleCells())
        readFailed(m_currentTab);
}

bool FrmMakeVouchMain::FillPairRows() {
    const host::RecordSetPtr pairs =
        openRows(PairRowsSql(letter(), ui->RefcTableName->text(), ui->RefcTargetTable->text()));
    if (!pairs) return false;
    setProperty("recordCount", QString::number(pairs->recordCount()));
    carryover::FillPairRows(*currentGrid(), *pairs);
    return true;
}

bool FrmMakeVouchMain::LoadRuleCells() {
    const host::RecordSetPtr rules =
        openRows(RulesOfLetterSql(letter(), ui->RefcTableName->text(), ui->RefcTargetTable->text()));
    const host::RecordSetPtr links = rules ? openRows(ItemLinksSql(letter())) : nullptr;
    if (!rules || !links) return false;
    MarkRuleCells(*currentGrid(), itemNames(m_currentTab), *rules, *links);
    return true;
}

void FrmMakeVouchMain::readFailed(int tab) {
    m_unreadable[tab] = true;
    // Without its rules no cell is known to be usable: every one is grey.
    controls::Grid* g = grid(tab);
    for (int r = 1; r < g->rows(); ++r)
        for (int c = kFirstItemCol; c < g->cols(); ++c) g->setBackColor(r, c, UnavailableColor());
    userdef::ShowMsg(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.MakeVouch.ReadFailed")
                         .arg(userdef::g_SrvDB ? userdef::g_SrvDB->lastError() : QString()));
}

void FrmMakeVouchMain::setGridEditable(bool editable) {
    m_gridEditable[m_currentTab] = editable;
}

void FrmMakeVouchMain::setButtons(bool editing) {
    for (const auto& [key, enabled] : {std::pair{"SaveRs", editing}, std::pair{"Back", editing},
                                       std::pair{"Modify", !editing}}) {
        if (QAction* a = controls::HostToolbar::classicAction(ui->Tlb, QString::fromLatin1(key)))
            a->setEnabled(enabled);
    }
    // A search would replace the rows being edited.
    ui->BtnSelect->setEnabled(!editing);
    userdef::ReRefreshZxTlb(this);
}

void FrmMakeVouchMain::onCheckToggled(int tab, int row, int col) {
    controls::Grid* g = grid(tab);
    const bool allowed = tab == m_currentTab && m_editMode == Editing && m_gridEditable[tab] &&
                         col >= kFirstItemCol && !IsUnavailable(*g, row, col);
    if (!allowed) {
        // The edit is refused: the box keeps its state.
        g->setCheckState(row, col, g->checkState(row, col) == Qt::Checked ? Qt::Unchecked
                                                                          : Qt::Checked);
        return;
    }
    markRow(tab, row);
}

void FrmMakeVouchMain::markRow(int tab, int row) {
    m_changed = true;
    setProperty("dirty", true);
    grid(tab)->setText(row, kColChanged, QStringLiteral("1"));
}

bool FrmMakeVouchMain::Operating(const QString& key) {
    emit commandReceived(key);
    if (userdef::g_Pub) userdef::g_Pub->HelpShow(this, key);
    const auto is = [&key](const char* name) {
        return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    controls::Grid* g = currentGrid();
    if (is("help")) {
        // Answered by the public service: the window's help topic.
    } else if (is("locate")) {
        if (userdef::g_Pub) userdef::g_Pub->FindPos(this, g);
    } else if (is("setup") || is("savefile") || is("print") || is("preview")) {
        PrintAll(key);
    } else if (is("refresh")) {
        if (m_editMode != Editing) SearchPairs();
    } else if (is("Modify")) {
        if (g->rows() < 2) return true;
        if (m_unreadable[m_currentTab]) {
            readFailed(m_currentTab);
            return true;
        }
        setGridEditable(true);
        for (int r = 1; r < g->rows(); ++r) g->setText(r, kColChanged, QStringLiteral("0"));
        m_editMode = Editing;
        setButtons(true);
    } else if (is("SaveRs")) {
        saveAndBrowse();
    } else if (is("Back")) {
        m_editMode = Browse;
        setButtons(false);
        SearchPairs();
        setGridEditable(false);
        m_changed = false;
        setProperty("dirty", false);
    } else if (is("exit")) {
        close();
    } else {
        return false;  // "Add", "Delete" and unknown keys have no action here
    }
    return true;
}

bool FrmMakeVouchMain::saveAndBrowse() {
    if (!SaveRs(m_editMode)) return false;
    setGridEditable(false);
    m_changed = false;
    setProperty("dirty", false);
    m_editMode = Browse;
    setButtons(false);
    return true;
}

bool FrmMakeVouchMain::SaveRs() { return SaveRs(m_editMode); }

bool FrmMakeVouchMain::SaveRs(int mode) {
    if (m_unreadable[m_currentTab]) {
        readFailed(m_currentTab);
        return false;
    }
    const QString records = BuildChangedRulesXml(*currentGrid(), itemNames(m_currentTab), letter());
    WriteRuleDebugFile(records);
    if (records.isEmpty()) return true;
    QString error;
    if (SendRuleRecords(mode, records, &error)) return true;
    if (!error.isEmpty()) userdef::ShowMsg(error);
    return false;
}

void FrmMakeVouchMain::clickTab(int tab) {
    if (m_switching || tab == m_currentTab) {
        m_tabs->setCurrentIndex(m_currentTab);
        return;
    }
    m_switching = true;
    if (m_changed && userdef::g_Pub) {
        const int answer = userdef::g_Pub->MsgBox(userdef::ResText("Q9.AA.Q9RowAuthocx0326"),
                                                  host::MsgButtons::YesNoQuestion,
                                                  userdef::ResText("Q9.AA.Q9RowAuthocx0025"));
        if (answer != host::MsgAnswer::Yes) {
            Operating(QStringLiteral("Back"));
        } else if (!saveAndBrowse()) {
            // The save failed: the user stays on this tab with the edits.
            m_tabs->setCurrentIndex(m_currentTab);
            m_switching = false;
            return;
        }
    }
    m_changed = false;
    setProperty("dirty", false);
    (tab == BodyTab ? ui->OpType_1 : ui->OpType_0)->setChecked(true);
    m_switching = false;
}

void FrmMakeVouchMain::selectTab(int tab) {
    m_currentTab = tab;
    m_tabs->setCurrentIndex(tab);
    grid(tab)->setVisible(true);
    grid(tab == BodyTab ? HeaderTab : BodyTab)->setVisible(false);
    // A tab shows its rows when first shown and keeps them until the filters change.
    const QStringList filters{ui->RefcTableName->text(), ui->RefcTargetTable->text()};
    if (m_shownOnce && m_searchedWith[tab] != filters)
        SearchPairs();
    else if (grid(tab)->rows() < 2)
        InitGridTitle();
}

void FrmMakeVouchMain::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_shownOnce) return;
    m_shownOnce = true;
    SearchPairs();
}

void FrmMakeVouchMain::PrintAll(const QString& key) {
    controls::Grid* g = currentGrid();
    if (g->rows() < 2) {
        userdef::ShowMsg(userdef::ResText("Q9.AA.ARCHIVE.COMMON.nodata"));
        return;
    }
    // The columns' types and sizes from the rule fields they show; item columns show btrans.
    userdef::ColumnFields columns{{kColRow, userdef::RowNumberField()}};
    if (const host::RecordSetPtr rs = openRows(BatchPrintColumnsSql()); rs && userdef::g_Pub) {
        const QVector<host::FieldInfo> sizes = userdef::g_Pub->GetTypeSize(*rs);
        const auto field = [&sizes](const char* name) {
            for (const host::FieldInfo& f : sizes)
                if (f.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return f;
            return host::FieldInfo{};
        };
        const QList<QPair<int, const char*>> shown = {
            {kColMakeVouchID, "cMakeVouchID"}, {kColSource, "cTableName"},
            {kColSourceDesc, "cTableNameDesc"}, {kColTarget, "cTargetTable"},
            {kColTargetDesc, "cTargetTableDesc"}, {kColDesc, "cdesc"}, {kColSubId, "cSub_id"}};
        for (const auto& [col, name] : shown) columns.insert(col, field(name));
        for (int c = kFirstItemCol; c < g->cols(); ++c) columns.insert(c, field("btrans"));
    }
    userdef::RunPrintCommand(this, key, QStringLiteral("MakeVouchSet"), WriteData(), columns);
}

QString FrmMakeVouchMain::WriteData() {
    if (!userdef::g_Pub) return {};
    const auto& login = userdef::g_Login;
    return userdef::g_Pub->GetData(currentGrid(), userdef::ResText("Q9.AA.ARCHIVE.FIELD.makevouchset"),
                                   login ? login->cAcc_id() : QString(),
                                   login ? login->cUserId() : QString(),
                                   login ? login->cUserName() : QString());
}

void FrmMakeVouchMain::ExitForm() {
    m_exitCancel = 0;
    close();
}

void FrmMakeVouchMain::closeEvent(QCloseEvent* event) {
    if (userdef::g_Pub && !userdef::g_Pub->isSaveRs(this)) {
        m_exitCancel = 1;
        event->ignore();
        return;
    }
    m_exitCancel = 0;
    QDialog::closeEvent(event);
}

void FrmMakeVouchMain::keyPressEvent(QKeyEvent* event) {
    // Escape closes as "Exit" does, asking about unsaved changes first.
    if (event->key() == Qt::Key_Escape) {
        Operating(QStringLiteral("Exit"));
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace carryover
