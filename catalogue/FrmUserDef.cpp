#include "catalogue/FrmUserDef.h"

#include <QSet>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QPointer>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLoggingCategory>
#include <QRadioButton>
#include <QSet>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "controls/FlowLayout.h"
#include "carryover/FrmMakeVouchMain.h"
#include "catalogue/ItemListing.h"
#include "common/SessionNames.h"
#include "common/Globals.h"
#include "common/HotKeys.h"
#include "common/ShowModal.h"
#include "cover/FrmCoverSetting.h"
#include "history/FrmHistory.h"
#include "common/InitToolbar.h"
#include "common/NameTables.h"
#include "controls/Grid.h"
#include "controls/HostToolbar.h"
#include "controls/Twips.h"
#include "host/Quote.h"
#include "itemdef/FieldRules.h"
#include "itemdef/FrmZAM.h"
#include "itemdef/ItemRecord.h"
#include "resources/icons/Icons.h"
#include "ui_FrmUserDef.h"

#include "catalogue/CatalogueLog.h"

namespace catalogue {

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kColumnTwips = 1500;
constexpr int kMaxFitTwips = 4500;
constexpr int kFitSample = 100;

// Tree children: class index of each node, in tree order.
constexpr int kTreeOrder[] = {0, 1, 2, 3, 6, 4, 5, 7, 8, 9, 10, 11, 12};

QString res(const QString& key) {
    return userdef::g_Pub ? userdef::g_Pub->GetResString(key) : key;
}

// A text of our own resource keys; the design's text where the key has none.
QString resOr(const QString& key, const QString& fallback) {
    const QString text = res(key);
    return text.isEmpty() || text == key ? fallback : text;
}

QString className(int index) {
    return index >= 0 && index < userdef::g_ClassNames.size() ? userdef::g_ClassNames.at(index)
                                                              : userdef::classKeys().value(index);
}

// The carry-over batch setting: modal outside the portal, a portal tab inside it.
void openMakeVouchSet(QWidget* catalogue, bool inPortal) {
    if (!inPortal) {
        carryover::FrmMakeVouchMain window(catalogue);
        window.init();
        userdef::ShowModal(&window);
    } else if (userdef::g_Business) {
        auto* window = new carryover::FrmMakeVouchMain();
        const QString env =
            userdef::g_Business->CreateFormEnv(QStringLiteral("UserDef.FrmMakeVouchMain"), window);
        userdef::g_Business->ShowForm(window, QStringLiteral("AA"),
                                      QStringLiteral("FrmMakeVouchMain_key"), false, true, env);
    } else {
        qCWarning(lcCatalogue) << "no portal business object to host the carry-over setting";
    }
    if (userdef::g_Pub)
        userdef::g_Pub->IsLockFun(userdef::g_SrvDB.get(), userdef::g_Login.get(),
                                  QStringLiteral("UserDef"), -2);
}

}  // namespace

FrmUserDef::FrmUserDef(bool inPortal, const QString& classCode, QWidget* parent)
    : QWidget(parent),
      m_InPotal(inPortal),
      ui(std::make_unique<Ui::FrmUserDef>()),
      m_host(nullptr),
      m_statusPanel(new QLabel(this)),
      m_optionGroup(new QButtonGroup(this)),
      m_classCode(classCode) {
    ui->setupUi(this);
    setProperty("helpTopic", QStringLiteral("UserDef"));
    setWindowIcon(resources::icons::icon(QStringLiteral("userdef")));

    m_host = new controls::HostToolbar(this);
    m_host->setObjectName(QStringLiteral("TLB2"));
    m_host->hide();

    m_statusPanel->setObjectName(QStringLiteral("StbPanel1"));
    m_statusPanel->setContentsMargins(6, 0, 6, 0);
    ui->Stb->addWidget(m_statusPanel, 1);

    QFont titleFont = ui->LblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.35);
    ui->LblTitle->setFont(titleFont);

    // The splitter takes the height; tree and grid share its width, the grid taking the rest.
    ui->MainLayout->setStretchFactor(ui->Splitter, 1);
    ui->LblTitle->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    ui->Splitter->setStretchFactor(0, 0);
    ui->Splitter->setStretchFactor(1, 1);
    ui->RightLayout->setStretchFactor(ui->Grid, 1);
    QSizePolicy wrapping(QSizePolicy::Preferred, QSizePolicy::Preferred);
    wrapping.setHeightForWidth(true);
    ui->Frame2->setSizePolicy(wrapping);

    m_optionGroup->setExclusive(true);
    // Ctrl+click and Shift+click select several items for a package.
    grid()->setSelectionMode(QAbstractItemView::ExtendedSelection);

    // Commands from the classic toolbar (hidden behind the host toolbar, kept for its states).
    for (QAction* a : ui->Tlb->actions()) {
        if (a->isSeparator()) continue;
        connect(a, &QAction::triggered, this, [this, a] { RunCommand(a->objectName()); });
    }
    connect(m_host, &controls::HostToolbar::buttonClicked, this, &FrmUserDef::RunCommand);

    connect(ui->Tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) {
                if (!m_selecting && current) NodeSelected(current);
            });
    connect(grid(), &controls::Grid::currentRowChanged, this, [this] { UpdateArchiveButton(); });
    connect(grid(), &controls::Grid::cellClicked, this, [this] { UpdateArchiveButton(); });
    connect(grid(), &controls::Grid::cellDoubleClicked, this, [this](int row) {
        if (row >= 1 && grid()->currentRow() >= 1) RunCommand(QStringLiteral("Define"));
    });
    connect(m_optionGroup, &QButtonGroup::buttonClicked, this, [this](QAbstractButton* b) {
        selectClass(b->property("tag").toString());
    });

    SetupMenus();
    SetupHotKeys();
    SetupPrinting();
}

FrmUserDef::~FrmUserDef() { releaseSessionLock(); }

controls::Grid* FrmUserDef::grid() const { return ui->Grid; }

QAction* FrmUserDef::classicButton(const QString& key) const {
    return controls::HostToolbar::classicAction(ui->Tlb, key);
}

void FrmUserDef::SetupMenus() {
    const QList<QPair<QAction*, QString>> commands = {
        {ui->mAdd, QStringLiteral("Add")},
        {ui->mModify, QStringLiteral("Define")},
        {ui->mDelete, QStringLiteral("Delete")},
        {ui->mArchive, QStringLiteral("Archive")},
        {ui->mMakeVouchSet, QStringLiteral("MakeVouchSet")},
        {ui->mRefresh, QStringLiteral("Refresh")},
        {ui->mPrint, QStringLiteral("Print")},
        {ui->mPreview, QStringLiteral("Preview")},
        {ui->mSaveFile, QStringLiteral("SaveFile")},
        {ui->mExportPackage, QStringLiteral("ExportPackage")},
        {ui->mSetUp, QStringLiteral("SetUp")},
        {ui->mPrintNo, QStringLiteral("mPrintNo")},
        {ui->mHelp, QStringLiteral("Help")},
        {ui->mAbout, QStringLiteral("About")},
        {ui->mExit, QStringLiteral("Exit")},
        {ui->mCoverSetting, QStringLiteral("CoverSetting")},
        {ui->mHistory, QStringLiteral("History")},
        {ui->mStb, QStringLiteral("mStb")},
        {ui->mText, QStringLiteral("mText")},
        {ui->mVouchTip0, QStringLiteral("mVouchTip0")},
        {ui->mVouchTip1, QStringLiteral("mVouchTip1")},
        {ui->mVouchTip2, QStringLiteral("mVouchTip2")},
    };
    for (const auto& [action, key] : commands) {
        const QString command = key;
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    }
    // The overwrite choice: one of three, the first one to begin with.
    auto* tips = new QActionGroup(this);
    tips->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (QAction* a : {ui->mVouchTip0, ui->mVouchTip1, ui->mVouchTip2}) tips->addAction(a);
    ui->mVouchTip0->setChecked(true);
}

void FrmUserDef::SetupHotKeys() {
    userdef::AddHotKeys(this, {
        {QKeySequence(Qt::Key_F5), QStringLiteral("Add")},
        {QKeySequence(Qt::Key_Delete), QStringLiteral("Delete")},
        {QKeySequence(Qt::CTRL | Qt::Key_P), QStringLiteral("Print")},
        {QKeySequence(Qt::Key_F8), QStringLiteral("Archive")},
        {QKeySequence(Qt::ALT | Qt::Key_F4), QStringLiteral("Exit")},
        {QKeySequence(Qt::Key_F1), QStringLiteral("Help")},
        {QKeySequence(Qt::Key_F9), QStringLiteral("Refresh")},
        {QKeySequence(Qt::Key_F7), QStringLiteral("Modify")},
    }, [this](const QString& command) { RunCommand(command); });
}

void FrmUserDef::ApplyTexts() {
    const QString title = res(QStringLiteral("Q9.AA.ARCHIVE.userdefarch"));
    setWindowTitle(title);
    ui->LblTitle->setText(title);
    // Menu captions: the design's texts, or the language's where our texts have the key.
    for (QMenu* menu : {ui->mFile, ui->mOperation, ui->mWindow, ui->mH})
        menu->setTitle(resOr(QStringLiteral("Q9.AA.USERDEF.FrmUserDef.") + menu->objectName(),
                             menu->title()));
    for (QAction* a : findChildren<QAction*>()) {
        if (!a->objectName().startsWith(QLatin1String("m")) || a->menu()) continue;
        a->setText(resOr(QStringLiteral("Q9.AA.USERDEF.FrmUserDef.") + a->objectName(), a->text()));
    }
    // Classic buttons carry the host toolbar's captions.
    for (QAction* a : ui->Tlb->actions())
        if (!a->isSeparator())
            a->setText(resOr(QStringLiteral("Q9.AA.TOOLBAR.") + a->objectName(), a->objectName()));
}

void FrmUserDef::Load() {
    if (m_loaded) return;
    m_loaded = true;
    if (userdef::g_Pub) userdef::g_Pub->FrmUniteFont(this);
    ApplyTexts();
    SetupToolbar();
    if (userdef::g_SrvDB && !userdef::g_SrvDB->ExecuteX(QStringLiteral("AA_CreateDefineRefDesignView")))
        qCWarning(lcCatalogue) << "AA_CreateDefineRefDesignView:" << userdef::g_SrvDB->lastError();
    InitGrid();
    BuildTree();
    ui->Frame1->setFrameShape(QFrame::NoFrame);
    ui->Frame2->setFrameShape(QFrame::NoFrame);
    BuildOptionButtons();
    ApplyPortalMenus();
    LoadWindowOptions();
}

void FrmUserDef::SetupToolbar() {
    m_host->setPub(userdef::g_Pub.get());
    m_host->Init(ui->Tlb, userdef::g_Login.get(), QStringLiteral("Archives_UserDef_List"),
                 QStringLiteral("AS"));
    if (!m_InPotal) {
        ui->Help->setVisible(true);
        ui->Exit->setVisible(true);
    } else {
        // The portal closes the window itself: no exit button, no help button.
        const QList<QAction*> buttons = ui->Tlb->actions();
        if (!buttons.isEmpty()) ui->Tlb->removeAction(buttons.last());
        m_host->SetBusiness(userdef::g_Business.get());
        ui->Help->setVisible(false);
    }
    userdef::InitToolbar(this, ui->Tlb, m_host, QString(), this, QStringLiteral("Voucher"));
    ui->Define->setVisible(false);
    ui->Archive->setEnabled(false);
    MirrorMenus();
    userdef::ReRefreshZxTlb(this);
}

void FrmUserDef::MirrorMenus() {
    ui->mAdd->setEnabled(ui->Add->isEnabled());
    ui->mArchive->setEnabled(ui->Archive->isEnabled());
    ui->mMakeVouchSet->setEnabled(ui->MakeVouchSet->isEnabled());
}

void FrmUserDef::InitGrid() {
    controls::Grid* g = grid();
    host::RecordSetPtr fields =
        userdef::g_SrvDB ? userdef::g_SrvDB->OpenX(emptyListingSql()) : nullptr;
    if (!fields) {
        qCWarning(lcCatalogue) << "the listing's fields cannot be read:"
                               << (userdef::g_SrvDB ? userdef::g_SrvDB->lastError() : QString());
        return;
    }
    if (fields->fieldCount() >= kHeaderCount) {
        qCWarning(lcCatalogue) << "the listing has" << fields->fieldCount() << "fields; at most"
                               << kHeaderCount - 1 << "have a header";
        return;
    }
    g->setRedraw(false);
    g->setCols(fields->fieldCount() + 1);
    g->setRows(1);
    SetHeaderAndWidths();
    if (userdef::g_Pub)
        userdef::g_Pub->FormatGrid(g, *fields,
                                   QStringLiteral("<Align>") +
                                       QStringLiteral("<iDataSource>1</iDataSource>") +
                                       QStringLiteral("</Align>"));
    g->setRedraw(true);
}

void FrmUserDef::SetHeaderAndWidths() {
    controls::Grid* g = grid();
    const QFontMetrics metrics(g->horizontalHeader()->font());
    m_baseWidths.clear();
    for (int c = 0; c < g->cols(); ++c) {
        const QString header = listHeaderText(c);
        g->setText(0, c, header);
        // Wide enough for the header in every language, never narrower than the design's.
        const int fit = controls::pixelsToTwips(metrics.horizontalAdvance(header) + 28);
        m_baseWidths << std::max(kColumnTwips, fit);
        const bool hidden = c == kColId || c == kColRefId;
        g->setColWidth(c, hidden ? 0 : m_baseWidths.last());
    }
}

void FrmUserDef::FitColumnsToContent() {
    // Widened to the texts of the first rows (each distinct text measured once), up to a limit.
    controls::Grid* g = grid();
    const QFontMetrics metrics(g->font());
    const int sample = std::min(g->rows() - 1, kFitSample);
    QHash<QString, int> measured;
    for (int c = 0; c < g->cols() && c < m_baseWidths.size(); ++c) {
        if (c == kColId || c == kColRefId) continue;
        int widest = 0;
        for (int r = 1; r <= sample; ++r) {
            const QString text = g->text(r, c);
            auto it = measured.constFind(text);
            if (it == measured.constEnd()) it = measured.insert(text, metrics.horizontalAdvance(text));
            widest = std::max(widest, *it);
        }
        const int fit = std::min(controls::pixelsToTwips(widest + 20), kMaxFitTwips);
        g->setColWidth(c, std::max(m_baseWidths.at(c), fit));
    }
}

void FrmUserDef::FillGrid(host::RecordSetPtr rs) {
    controls::Grid* g = grid();
    if (g->cols() < 2) {  // the grid's columns could not be built
        qCWarning(lcCatalogue) << "item grid without columns; the listing is not shown";
        return;
    }
    g->setCurrentRow(0);  // a new listing starts with no item chosen
    g->setRedraw(false);
    if (!rs->isEmpty()) {
        // The grid reads the listing as it is shown: each column turns the stored value into
        // the text the user sees (coded columns, related archives, names in the session's
        // language).
        const int fields = std::min(rs->fieldCount(), g->cols() - 1);
        auto sessionNames = std::make_shared<const userdef::SessionNames>(userdef::SessionNames::read());
        auto names = std::make_shared<RelatedArchiveNames>(
            userdef::g_Login ? userdef::g_Login->cAcc_id() : QString(), *sessionNames);
        // The related archives' names of the whole listing, read at once.
        QSet<QPair<QString, QString>> related;
        for (int r = 0; r < rs->recordCount(); ++r)
            if (const QString archive = rs->textAt(r, kColRelArchive - 1); !archive.isEmpty())
                related.insert({archive, rs->textAt(r, kColRelField - 1)});
        names->prefetch(related.values());
        auto coded = std::make_shared<CodedColumns>(*g, *names);
        std::vector<host::GridField> columns(size_t(g->cols()));
        columns[kColCounter] = {host::GridField::Counter, -1, {}};
        for (int f = 0; f < fields; ++f) {
            const FieldShow show = fieldShow(rs->field(f).type);
            const int col = f + 1;
            columns[size_t(col)] = {
                host::GridField::Text, f,
                [names, coded, sessionNames, show, col](const host::RecordSet& set, int r, int field) {
                    const QString stored = coded->shown(col, fieldDisplayText(set, r, field, show));
                    switch (col) {
                        case kColRelArchive:
                        case kColRelField: {
                            const QString archive = set.textAt(r, kColRelArchive - 1);
                            if (archive.isEmpty()) return stored;
                            const auto shown =
                                names->resolve(archive, set.textAt(r, kColRelField - 1));
                            return col == kColRelArchive ? shown.first : shown.second;
                        }
                        case kColItemName:
                            return sessionNames->item(set.textAt(r, kColId - 1), stored);
                        case kColParentItemName:
                            return sessionNames->parentOf(set.textAt(r, kColId - 1), stored);
                        default: return stored;
                    }
                }};
        }
        g->showRecordSet(std::move(rs), std::move(columns));
        FitColumnsToContent();
    } else {
        g->clear();
        g->setRows(1);
        SetHeaderAndWidths();
    }
    g->setRedraw(true);
}

void FrmUserDef::BuildTree() {
    QTreeWidget* tree = ui->Tree;
    m_selecting = true;
    tree->clear();
    auto* root = new QTreeWidgetItem(tree, {res(QStringLiteral("Q9.AA.ARCHIVE.userdefcls"))});
    root->setData(0, kKeyRole, kRootKey);
    root->setIcon(0, resources::icons::icon(QStringLiteral("userdef")));
    for (const int index : kTreeOrder) {
        auto* child = new QTreeWidgetItem(root, {className(index)});
        child->setData(0, kKeyRole, userdef::classKeys().at(index));
        child->setIcon(0, resources::icons::icon(QStringLiteral("archive")));
    }
    tree->expandAll();
    tree->setCurrentItem(root);
    m_selecting = false;
    // Narrow enough for the grid, wide enough for the longest class name.
    int widest = 0;
    const QFontMetrics metrics(tree->font());
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        widest = std::max(widest, metrics.horizontalAdvance((*it)->text(0)));
    const int treeWidth = std::clamp(widest + 90, 160, 320);
    ui->Frame1->setMinimumWidth(std::min(treeWidth, 220));
    ui->Splitter->setSizes({treeWidth, std::max(width() - treeWidth, 400)});
    NodeSelected(root);
}

void FrmUserDef::BuildOptionButtons() {
    auto* flow = new controls::FlowLayout(ui->Frame2, controls::twipsToPixels(100) + 4, 2);
    flow->setContentsMargins(2, 4, 2, 4);
    // The colon of the session's script.
    const bool chinese = userdef::g_Pub && userdef::g_Pub->M_LocaleId().startsWith(
                                               QLatin1String("zh"), Qt::CaseInsensitive);
    auto* label = new QLabel(res(QStringLiteral("Q9.AA.ARCHIVE.projectcls")) +
                                 (chinese ? QStringLiteral("：") : QStringLiteral(":")),
                             ui->Frame2);
    label->setObjectName(QStringLiteral("LblClass"));
    flow->addWidget(label);
    QStringList keys = {kRootKey};
    QStringList texts = {res(QStringLiteral("Q9.AA.ARCHIVE.all"))};
    for (const int index : kTreeOrder) {
        keys << userdef::classKeys().at(index);
        texts << className(index);
    }
    for (int i = 0; i < keys.size(); ++i) {
        auto* option = new QRadioButton(texts.at(i), ui->Frame2);
        option->setObjectName(QStringLiteral("OptClass%1").arg(i));
        option->setProperty("tag", keys.at(i));
        option->setChecked(keys.at(i) == selectedKey());
        m_optionGroup->addButton(option, i);
        m_options << option;
        flow->addWidget(option);
    }
}

QTreeWidgetItem* FrmUserDef::nodeOf(const QString& key) const {
    QTreeWidgetItem* root = ui->Tree->topLevelItemCount() ? ui->Tree->topLevelItem(0) : nullptr;
    if (!root) return nullptr;
    if (root->data(0, kKeyRole).toString() == key) return root;
    for (int i = 0; i < root->childCount(); ++i)
        if (root->child(i)->data(0, kKeyRole).toString() == key) return root->child(i);
    return nullptr;
}

QString FrmUserDef::selectedKey() const {
    const QTreeWidgetItem* node = ui->Tree->currentItem();
    return node ? node->data(0, kKeyRole).toString() : QString();
}

bool FrmUserDef::isRootSelected() const { return selectedKey() == kRootKey; }

bool FrmUserDef::selectClass(const QString& key) {
    QTreeWidgetItem* node = nodeOf(key);
    if (!node) return false;
    m_selecting = true;
    ui->Tree->setCurrentItem(node);
    m_selecting = false;
    NodeSelected(node);
    return true;
}

void FrmUserDef::NodeSelected(QTreeWidgetItem* node) {
    const QString key = node->data(0, kKeyRole).toString();
    if (key == kRootKey) {
        ui->Archive->setEnabled(false);
        ui->Add->setEnabled(false);
        ui->MakeVouchSet->setEnabled(false);
    } else {
        // Items are added to headers, bodies, customers, inventory and contacts; the carry-over
        // of document headers and bodies is set here too.
        const int index = itemdef::classPosition(key);
        ui->Add->setEnabled(index == itemdef::kHeader || index == itemdef::kBody ||
                            index == itemdef::kCustomer || index == itemdef::kInventory ||
                            index == itemdef::kContact);
        ui->MakeVouchSet->setEnabled(index == itemdef::kHeader || index == itemdef::kBody);
    }
    MirrorMenus();
    userdef::ReRefreshZxTlb(this);
    if (!m_InPotal)
        ui->LblTitle->setText(res(QStringLiteral("Q9.AA.ARCHIVE.userdefarch")) +
                              QStringLiteral("-") + node->text(0));
    for (QRadioButton* option : std::as_const(m_options))
        if (option->property("tag").toString() == key) option->setChecked(true);
    RefreshItemList();
}

void FrmUserDef::RefreshItemList() {
    if (!userdef::g_SrvDB) {
        qCWarning(lcCatalogue) << "refresh without a server database service";
        return;
    }
    if (m_filling) return;  // a refresh asked for while the grid fills
    host::IClsCommon& srv = *userdef::g_SrvDB;
    if (!m_classCode.isEmpty()) {
        // An item id handed in by the opener: show its class, once.
        QString code = m_classCode;
        const host::RecordSetPtr cls = srv.OpenX(
            QStringLiteral("select ISNULL(cClass,'') as cClass from UserDef_Base where cID='") +
            host::sqlValue(code) + QStringLiteral("'"));
        if (cls && !cls->isEmpty()) {
            cls->moveFirst();
            code = cls->text(QStringLiteral("cClass"));
        }
        m_classCode.clear();
        QTreeWidgetItem* node = nodeOf(code);
        if (node && node != ui->Tree->currentItem()) {
            // Select it with its own rules (buttons, caption); that lists its items.
            selectClass(code);
            return;
        }
    }
    const host::RecordSetPtr rs = srv.OpenX(listingSql(selectedKey()));
    if (!rs) {
        qCWarning(lcCatalogue) << "listing failed:" << srv.lastError();
        return;
    }
    const QString count = QString::number(rs->recordCount());
    m_statusPanel->setText(
        userdef::g_Pub ? userdef::g_Pub->GetResFormatString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.rstcount"), {count})
                       : count);
    m_filling = true;
    FillGrid(rs);
    m_filling = false;
    UpdateArchiveButton();
}

QString FrmUserDef::statusText() const { return m_statusPanel->text(); }

void FrmUserDef::UpdateArchiveButton() {
    const int row = grid()->currentRow();
    const QString textType = userdef::g_DataTypes.value(itemdef::kText);
    const bool enable = ui->Tree->currentItem() && !isRootSelected() && row > 0 &&
                        !grid()->text(row, kColItemName).isEmpty() &&
                        grid()->text(row, kColType) == textType;
    if (ui->Archive->isEnabled() == enable && ui->mArchive->isEnabled() == enable) return;
    ui->Archive->setEnabled(enable);
    ui->mArchive->setEnabled(enable);
    userdef::ReRefreshZxTlb(this);
}

void FrmUserDef::RunCommand(const QString& key, const QString& mode) {
    emit commandReceived(key, mode);
    if (userdef::g_Pub) userdef::g_Pub->HelpShow(this, key);
    const auto is = [&key](const char* name) {
        return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (is("Refresh")) {
        RefreshItemList();
    } else if (is("Exit")) {
        if (m_InPotal)
            ExitForm();
        else
            close();
    } else if (is("Define")) {
        // The button is hidden, and a hidden action reads as disabled: only Add is checked.
        OpenEditor(false);
    } else if (is("Add")) {
        if (ui->Add->isEnabled()) OpenEditor(true);
    } else if (is("Modify")) {
        if (grid()->currentRow() >= 1) RunCommand(QStringLiteral("Define"));
    } else if (is("CoverSetting")) {
        cover::FrmCoverSetting dialog({ui->mVouchTip0, ui->mVouchTip1, ui->mVouchTip2},
                                      [this](const QString& command) { RunCommand(command); },
                                      this);
        userdef::ShowModal(&dialog);
    } else if (is("History") || is("HistoryAll")) {
        // The current item's changes; the whole account's when none is current or asked for.
        const int row = grid()->currentRow();
        const QString id =
            is("History") && row >= 1 ? grid()->text(row, kColId) : QString();
        history::FrmHistory window(id, this);
        connect(&window, &history::FrmHistory::changed, this, [this] { RefreshItemList(); });
        userdef::ShowModal(&window);
    } else if (is("MakeVouchSet")) {
        if (ui->MakeVouchSet->isEnabled()) openMakeVouchSet(this, m_InPotal);
    } else if (is("mVouchTip0") || is("mVouchTip1") || is("mVouchTip2")) {
        for (QAction* a : {ui->mVouchTip0, ui->mVouchTip1, ui->mVouchTip2})
            a->setChecked(a->objectName().compare(key, Qt::CaseInsensitive) == 0);
    } else if (is("Archive")) {
        OpenValueArchive();
    } else if (is("Delete")) {
        DeleteItem();
    } else if (is("ExportPackage")) {
        ExportPackage();
    } else if (is("mStb") || is("mText")) {
        WindowOption(key);
    } else if (is("Print")) {
        PrintAll(mode.isEmpty() ? QStringLiteral("Print") : mode, grid(), m_prn);
    } else if (is("Preview") || is("SetUp") || is("SaveFile")) {
        PrintAll(key, grid(), m_prn);
        userdef::ReRefreshZxTlb(this);
    } else if (is("About")) {
        ShowAbout();
    } else if (is("mPrintNo")) {
        // The menu's check says whether rows are numbered when printed.
    } else {
        // Help is answered by the public service above.
        qCDebug(lcCatalogue) << "command" << key << mode << "has no action";
    }
}

void FrmUserDef::OpenEditor(bool adding) {
    using userdef::g_Login;
    using userdef::g_Pub;
    using userdef::g_SrvDB;
    if (!g_SrvDB || !g_Pub) return;
    if (adding && g_Pub->IsLockFun(g_SrvDB.get(), g_Login.get(), QStringLiteral("UserDef"), 11))
        return;
    const QString key = selectedKey();
    const bool root = isRootSelected();
    const QString select = QStringLiteral("select ") + itemdef::kItemColumns +
                           itemdef::kItemExtraColumns + QStringLiteral(" from Userdef ");
    const QString order = QStringLiteral("order by cClass ,cast(cid as int) asc,cItem ASC ");
    const QString where =
        QStringLiteral("where cClass='") + host::sqlValue(key) + QStringLiteral("'");
    host::RecordSetPtr rs;
    if (!adding)
        rs = g_SrvDB->OpenX(select +
                            (root ? QString() : QStringLiteral(" ") + where + QStringLiteral(" ")) +
                            QStringLiteral(" ") + order);
    else if (!root)
        rs = g_SrvDB->OpenX(select + where + order);
    if (rs) {
        const int current = grid()->currentRow();
        const int top = grid()->topRow();
        const int position = current == 0 ? 1 : current;
        rs->setAbsolutePosition(position);
        QPointer<itemdef::FrmZAM> editor = new itemdef::FrmZAM(this);
        editor->init(rs, position);
        editor->setArchivePlugin(nullptr);  // the catalogue loads no plug-ins of its own
        editor->setCoverTips({ui->mVouchTip0, ui->mVouchTip1, ui->mVouchTip2});
        connect(editor, &itemdef::FrmZAM::itemListChanged, this, [this](const QString& cId) {
            RunCommand(QStringLiteral("Refresh"));
            if (cId.isEmpty()) return;
            for (int r = 1; r < grid()->rows(); ++r)
                if (grid()->text(r, kColId) == cId) {
                    g_Pub->SetGridRow(grid(), QString(), QString(), r, 0);
                    break;
                }
        });
        if (adding) editor->Add(key, grid()->rows());
        editor->Load();
        if (!adding) {
            // Attachments only on the grid rows whose columns can hold one.
            auto* attach = editor->findChild<QCheckBox*>(QStringLiteral("chkbIsUserDefAttachFile"));
            auto* pic = editor->findChild<QCheckBox*>(QStringLiteral("chkbIsUserDefPic"));
            const int cls = itemdef::classPosition(key);
            if (attach && (cls == itemdef::kHeader || cls == itemdef::kBody))
                attach->setEnabled(itemdef::attachmentAllowed(cls, current));
            if (pic && cls == itemdef::kHeader) pic->setEnabled(false);
            const QString column = rs->text(QStringLiteral("cDicDbName")).left(8);
            if (column.compare(QLatin1String("cLDefine"), Qt::CaseInsensitive) != 0 &&
                column.compare(QLatin1String("cCDefine"), Qt::CaseInsensitive) != 0)
                if (auto* multi = editor->findChild<QCheckBox*>(QStringLiteral("ChkbMultiSel")))
                    multi->setEnabled(false);
        }
        userdef::ShowModal(editor);
        delete editor.data();
        RefreshItemList();
        if (current >= 1) g_Pub->SetGridRow(grid(), QString(), QString(), current, top);
    }
    g_Pub->IsLockFun(g_SrvDB.get(), g_Login.get(), QStringLiteral("UserDef"), adding ? -11 : -2);
}

void FrmUserDef::ExitForm() { close(); }

void FrmUserDef::releaseSessionLock() {
    if (m_lockReleased || !userdef::g_Pub) return;
    userdef::g_Pub->IsLockFun(userdef::g_SrvDB.get(), userdef::g_Login.get(),
                              QStringLiteral("UserDef"), -1);
    m_lockReleased = true;
}

void FrmUserDef::ApplyPortalMenus() {
    ui->MenuBar->setVisible(!m_InPotal);
    for (QMenu* menu : {ui->mFile, ui->mOperation, ui->mWindow, ui->mH})
        menu->menuAction()->setVisible(!m_InPotal);
}

void FrmUserDef::showEvent(QShowEvent* event) {
    Load();
    ApplyPortalMenus();
    QWidget::showEvent(event);
}

void FrmUserDef::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) ApplyPortalMenus();
    QWidget::changeEvent(event);
}

void FrmUserDef::closeEvent(QCloseEvent* event) {
    // However the window closes (exit command, the portal's tab, the modal frame), the
    // session's lock on the catalogue goes with it.
    releaseSessionLock();
    QWidget::closeEvent(event);
}

}  // namespace catalogue
