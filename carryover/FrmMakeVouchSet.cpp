#include "carryover/FrmMakeVouchSet.h"

#include <QFontMetrics>
#include <algorithm>


#include "common/EditKeys.h"
#include "carryover/CarryOverLog.h"
#include "carryover/CarryOverSql.h"
#include "carryover/FrmManage.h"
#include "carryover/MakeVouchGrid.h"
#include "common/ResText.h"
#include "common/PrintCommand.h"
#include "carryover/RuleStore.h"
#include "common/Globals.h"
#include "common/SessionNames.h"
#include "common/HotKeys.h"
#include "common/InitToolbar.h"
#include "common/ShowModal.h"
#include "common/ShowMsg.h"
#include "controls/Grid.h"
#include "controls/Twips.h"
#include "controls/HostToolbar.h"
#include "host/IColSet.h"
#include "host/IFilterSvr.h"
#include "ui_FrmMakeVouchSet.h"

namespace carryover {

namespace {

FrmMakeVouchSet* g_shared = nullptr;


// Column titles (resource keys where they begin "Q9.") and whether the column shows.
struct ListColumn {
    const char* title;
    bool shown;
};
constexpr ListColumn kColumns[] = {
    {"Q9.AA.ARCHIVE.FIELD.sequencenumber", true}, {"cMakeVouchID", false},
    {"Q9.AA.ARCHIVE.FIELD.sourcetable", false},   {"Q9.AA.ARCHIVE.FIELD.sourcetabledesc", true},
    {"Q9.AA.ARCHIVE.FIELD.ctargettable", false},  {"Q9.AA.ARCHIVE.FIELD.ctargettabledesc", true},
    {"Q9.AA.ARCHIVE.FIELD.sourcefield", false},   {"Q9.AA.ARCHIVE.FIELD.sourcefielddesc", true},
    {"Q9.AA.ARCHIVE.FIELD.ctargetfield", false},  {"Q9.AA.ARCHIVE.FIELD.ctargetfielddesc", true},
    {"Q9.AA.ARCHIVE.FIELD.ctype", false},         {"Q9.AA.ARCHIVE.FIELD.btrans", false},
    {"Q9.AA.ARCHIVE.FIELD.cdesc", true},          {"Q9.AA.ARCHIVE.FIELD.csub_id", false},
    {"guid", false}};
constexpr int kDescCol = 12;

// The grid shows the rules' record set, each cell read as it is asked for: flags as the yes/no
// names, table descriptions and item names in the session's language.
void showRules(controls::Grid& g, host::RecordSetPtr rules) {
    auto names = std::make_shared<const userdef::SessionNames>(userdef::SessionNames::read());
    enum Shown { Stored, Table, Item };
    const auto shownBy = [&rules](const QString& field) -> std::pair<Shown, int> {
        const struct { const char *field, *code; Shown shown; } named[] = {
            {"cTableNameDesc", "cTableName", Table}, {"cTargetTableDesc", "cTargetTable", Table},
            {"cextendfieldDesc", "cextendfield", Item}, {"ctargetfieldDesc", "ctargetfield", Item}};
        for (const auto& n : named)
            if (field.compare(QLatin1String(n.field), Qt::CaseInsensitive) == 0)
                return {n.shown, rules->fieldIndex(QString::fromLatin1(n.code))};
        return {Stored, -1};
    };
    std::vector<host::GridField> columns(size_t(g.cols()));
    columns[0] = {host::GridField::Counter, -1, {}};
    for (int f = 0; f < rules->fieldCount() && f + 1 < g.cols(); ++f) {
        const int type = rules->field(f).type;
        auto [shown, code] = shownBy(rules->field(f).name);
        if (code < 0) shown = Stored;
        columns[size_t(f + 1)] = {
            host::GridField::Text, f,
            [names, type, shown, code](const host::RecordSet& rs, int r, int field) {
                const QString text = FormatCellValue(rs.at(r, field), type);
                if (shown == Table) return names->tableLong(rs.textAt(r, code), text);
                return shown == Item ? names->itemByColumn(rs.textAt(r, code), text) : text;
            }};
    }
    g.showRecordSet(std::move(rules), std::move(columns));
}

}  // namespace

FrmMakeVouchSet::FrmMakeVouchSet(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmMakeVouchSet>()), m_host(nullptr) {
    ui->setupUi(this);
    userdef::KeepEditKeys(this);
    g_shared = this;
    setProperty("helpTopic", QStringLiteral("MakeVouchSet"));
    const QString caption = userdef::ResText("Q9.AA.ARCHIVE.FIELD.makevouchset");
    setWindowTitle(caption);
    ui->LblCaption->setText(caption);
    if (userdef::g_Pub) userdef::g_Pub->FrmUniteFont(this);
    m_host = new controls::HostToolbar(this);
    m_host->setObjectName(QStringLiteral("TLB2"));
    m_host->hide();
    m_host->setPub(userdef::g_Pub.get());
    m_host->Init(ui->Tlb, userdef::g_Login.get(),
                 QStringLiteral("Archives_UserDef_MakeVouch_List"), QStringLiteral("AA"));
    userdef::InitToolbar(this, ui->Tlb, m_host, QString(), this, QStringLiteral("Voucher"));
    connect(m_host, &controls::HostToolbar::buttonClicked, this,
            [this](const QString& key) { ButtonClick(key); });
    connect(ui->Grid, &controls::Grid::cellDoubleClicked, this, [this](int row) {
        if (row >= 1) ButtonClick(QStringLiteral("edit"));
    });
    ui->MainLayout->setStretchFactor(ui->Grid, 1);
    SetupHotKeys();
    InitGrid();
    ListRules();
}

FrmMakeVouchSet::~FrmMakeVouchSet() {
    if (g_shared == this) g_shared = nullptr;
}

FrmMakeVouchSet* FrmMakeVouchSet::shared() { return g_shared; }

controls::Grid* FrmMakeVouchSet::grid() const { return ui->Grid; }

void FrmMakeVouchSet::SetupHotKeys() {
    userdef::AddHotKeys(this, {
        {QKeySequence(Qt::Key_F5), QStringLiteral("Add")},
        {QKeySequence(Qt::Key_Delete), QStringLiteral("Delete")},
        {QKeySequence(Qt::CTRL | Qt::Key_P), QStringLiteral("Print")},
        {QKeySequence(Qt::ALT | Qt::Key_F4), QStringLiteral("Exit")},
        {QKeySequence(Qt::Key_F1), QStringLiteral("Help")},
        {QKeySequence(Qt::Key_F9), QStringLiteral("Refresh")},
    }, [this](const QString& command) { ButtonClick(command); });
}

void FrmMakeVouchSet::InitGrid(const QString&) {
    const host::RecordSetPtr fields =
        userdef::g_SrvDB ? userdef::g_SrvDB->OpenX(RuleListColumnsSql()) : nullptr;
    if (!fields) {
        qCWarning(lcCarryOver) << "the rule list's fields cannot be read";
        return;
    }
    controls::Grid* g = ui->Grid;
    g->setRedraw(false);
    g->setCols(fields->fieldCount() + 1);
    g->setRows(1);
    const QFontMetrics metrics(g->font());
    for (int c = 0; c < g->cols(); ++c) {
        const QString key = c < int(std::size(kColumns)) ? QString::fromLatin1(kColumns[c].title)
                                                         : QString();
        const QString title = key.startsWith(QLatin1String("Q9.")) && userdef::g_Pub
                                  ? userdef::g_Pub->GetResString(key)
                                  : key;
        g->setText(0, c, title);
        // At least 1500 twips, and the whole title in the user's language.
        g->setColWidth(c, std::max(1500, controls::pixelsToTwips(metrics.horizontalAdvance(title) + 16)));
    }
    for (int c = 0; c < g->cols() && c < int(std::size(kColumns)); ++c)
        if (!kColumns[c].shown) g->setColWidth(c, 0);
    g->setColWidth(kDescCol, 5000);
    if (userdef::g_Pub)
        userdef::g_Pub->FormatGrid(g, *fields,
                                   QStringLiteral("<Align>") +
                                       QStringLiteral("<iDataSource>1</iDataSource>") +
                                       QStringLiteral("</Align>"));
    g->setRedraw(true);
}

void FrmMakeVouchSet::ListRules(const QString& condition) {
    const host::RecordSetPtr rules =
        userdef::g_SrvDB ? userdef::g_SrvDB->OpenX(RuleListSql(condition)) : nullptr;
    if (!rules) {
        // Not an empty list: the user is told, and no stale row stays to be edited or deleted.
        const QString reason = userdef::g_SrvDB ? userdef::g_SrvDB->lastError() : QString();
        qCWarning(lcCarryOver) << "the rule list cannot be read:" << reason;
        ui->Grid->setRows(1);
        userdef::ShowMsg(userdef::ResText("Q9.AA.ARCHIVE.USERDEF.MakeVouch.ReadFailed").arg(reason));
        return;
    }
    showRules(*ui->Grid, rules);
}

bool FrmMakeVouchSet::DoFilter() {
    host::IHostFactory* factory = userdef::g_Factory;
    if (!m_colSet && factory && userdef::g_Login) {
        // The list's column settings for this user.
        m_colSet = factory->createColSet();
        if (m_colSet) m_colSet->init(userdef::g_Login->ZxDbName(), userdef::g_Login->cUserId());
    }
    if (!m_filter && factory) m_filter = factory->createFilter();
    if (!m_filter) {
        qCWarning(lcCarryOver) << "the host has no filter component";
        return false;
    }
    QString condition;
    if (!m_filter->ShowFilter(userdef::g_Login.get(), QStringLiteral("AA[__]自定义项扩展携带"),
                              userdef::ResText("Q9.AA.ARCHIVE.FIELD.makevouchset"), QStringLiteral("AA"),
                              condition))
        return false;
    m_condition = condition;
    InitGrid(m_condition);
    ListRules(m_condition);
    return true;
}

bool FrmMakeVouchSet::buttonEnabled(const char* key) const {
    QAction* a = controls::HostToolbar::classicAction(ui->Tlb, QString::fromLatin1(key));
    return a && a->isEnabled();
}

void FrmMakeVouchSet::openEditor(FrmManage& editor) {
    editor.setAfterSave([] {
        if (FrmMakeVouchSet* list = shared()) list->ButtonClick(QStringLiteral("REFRESH"));
    });
    editor.Load();
    if (m_editorHook) m_editorHook(editor);
    userdef::ShowModal(&editor);
}

void FrmMakeVouchSet::ButtonClick(const QString& key) {
    if (userdef::g_Pub) userdef::g_Pub->HelpShow(this, key);
    const auto is = [&key](const char* name) {
        return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    controls::Grid* g = ui->Grid;
    const int row = g->currentRow();
    if (is("help") || is("batchmodify")) {
        // Help is answered by the public service; batch modification has no action here.
    } else if (is("filter")) {
        DoFilter();
    } else if (is("locate")) {
        if (userdef::g_Pub) userdef::g_Pub->FindPos(this, g);
    } else if (is("setup") || is("savefile") || is("print") || is("preview")) {
        PrintAll(key);
    } else if (is("refresh")) {
        ListRules();
    } else if (is("add")) {
        if (!buttonEnabled("Add")) return;
        FrmManage editor(this);
        editor.Add();
        openEditor(editor);
        if (userdef::g_Pub)
            userdef::g_Pub->IsLockFun(userdef::g_SrvDB.get(), userdef::g_Login.get(),
                                      QStringLiteral("FrmMakeVouchSet"), -2);
    } else if (is("edit")) {
        if (!buttonEnabled("Edit") || row < 1 || !userdef::g_SrvDB) return;
        const host::RecordSetPtr rules = userdef::g_SrvDB->OpenX(
            RulesOfPairSql(g->text(row, kColSource), g->text(row, kColTarget)));
        if (!rules) return;
        const int top = g->topRow();
        {
            FrmManage editor(this);
            editor.init(rules, row);
            openEditor(editor);
        }
        ListRules();
        if (userdef::g_Pub) {
            userdef::g_Pub->SetGridRow(g, QString(), QString(), row, top);
            userdef::g_Pub->IsLockFun(userdef::g_SrvDB.get(), userdef::g_Login.get(),
                                      QStringLiteral("UserDef"), -2);
        }
    } else if (is("delete")) {
        if (row < 1) return;
        QString error;
        if (!DeleteRule(g->text(row, kColGuid), &error) && !error.isEmpty())
            userdef::ShowMsg(error);
        ListRules();
    } else if (is("exit")) {
        close();
    }
}

void FrmMakeVouchSet::PrintAll(const QString& key) {
    if (ui->Grid->rows() < 2) {
        userdef::ShowMsg(userdef::ResText("Q9.AA.ARCHIVE.COMMON.nodata"));
        return;
    }
    // The columns' types and sizes from the list's fields: column c shows field c - 1.
    userdef::ColumnFields columns{{0, userdef::RowNumberField()}};
    if (const host::RecordSetPtr fields =
            userdef::g_SrvDB ? userdef::g_SrvDB->OpenX(RuleListColumnsSql()) : nullptr;
        fields && userdef::g_Pub) {
        const QVector<host::FieldInfo> sizes = userdef::g_Pub->GetTypeSize(*fields);
        for (int f = 0; f < sizes.size(); ++f) columns.insert(f + 1, sizes.at(f));
    }
    userdef::RunPrintCommand(this, key, QStringLiteral("MakeVouchSet"), WriteData(), columns);
}

QString FrmMakeVouchSet::WriteData() {
    if (!userdef::g_Pub) return {};
    const auto& login = userdef::g_Login;
    return userdef::g_Pub->GetData(ui->Grid, userdef::ResText("Q9.AA.ARCHIVE.FIELD.makevouchset"),
                                   login ? login->cAcc_id() : QString(),
                                   login ? login->cUserId() : QString(),
                                   login ? login->cUserName() : QString());
}

void FrmMakeVouchSet::ExitForm() { close(); }

}  // namespace carryover
