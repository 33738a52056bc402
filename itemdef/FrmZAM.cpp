#include "itemdef/FrmZAM.h"

#include <QCalendarWidget>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QToolBar>

#include "common/EditKeys.h"
#include "common/ResText.h"
#include "common/Globals.h"
#include "common/InitToolbar.h"
#include "common/Log.h"
#include "common/NameTables.h"
#include "common/PlugInCommon.h"
#include "common/ShowModal.h"
#include "common/ShowMsg.h"
#include "controls/CheckTree.h"
#include "controls/HostToolbar.h"
#include "history/FrmHistory.h"
#include "controls/RefEdit.h"
#include "itemdef/EditorQueries.h"
#include "itemdef/EditorTexts.h"
#include "itemdef/InUseProbe.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/ItemdefLog.h"
#include "itemdef/Numbering.h"
#include "itemdef/RelatedArchive.h"
#include "ui_FrmZAM.h"

namespace itemdef {

namespace {

using userdef::g_Login;
using userdef::g_Pub;
using userdef::g_SrvDB;


void showRes(const QString& key, const QString& arg = {}) {
    if (!g_Pub) return;
    userdef::ShowMsg(arg.isEmpty() ? g_Pub->GetResString(key)
                                   : g_Pub->GetResFormatString(key, {arg}));
}

bool is(const QString& command, const char* key) {
    return command.compare(QLatin1String(key), Qt::CaseInsensitive) == 0;
}

// Name cells accept at most the defined size of cItemName.
class NameCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int maxLength = 0;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor); line && maxLength > 0)
            line->setMaxLength(maxLength);
        return editor;
    }
};

}  // namespace

FrmZAM::FrmZAM(QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::FrmZAM>()),
      m_host(new controls::HostToolbar(this)),
      m_tree(nullptr),
      m_relArchive(nullptr) {
    ui->setupUi(this);
    userdef::KeepEditKeys(this);
    userdef::TakeDigitsOnly(ui->EdtIMaxLen);
    userdef::TakeDigitsOnly(ui->EdtiLength);
    setProperty("helpTopic", QString());  // Operating("Help") calls HelpX itself
    m_host->setObjectName(QStringLiteral("TLB2"));
    m_host->hide();

    m_tree = new controls::CheckTree(ui->FraTree);
    m_tree->setObjectName(QStringLiteral("ZxTree"));
    ui->TreeLayout->addWidget(m_tree, 1);
    m_groupNote = new QLabel(ui->FraTree);
    m_groupNote->setObjectName(QStringLiteral("LblGroupNote"));
    m_groupNote->setWordWrap(true);
    m_groupNote->hide();
    ui->TreeLayout->addWidget(m_groupNote);
    m_relArchive = new controls::RefEdit(ui->TabBase);
    m_relArchive->setObjectName(QStringLiteral("RefcRelArchive"));
    ui->RelArchiveLayout->addWidget(m_relArchive);
    m_related = std::make_unique<RelatedArchive>(m_relArchive, ui->CmbcRelField, m_state);
    setTabOrder(ui->CmbiDataSource, m_relArchive->lineEdit());
    setTabOrder(m_relArchive->lineEdit(), ui->CmbcRelField);
    setTabOrder(ui->ShowChecked, m_tree);

    m_flagBoxes = {ui->ChkbFixLength,   ui->ChkbCheckVal, ui->ChkbInput,
                   ui->ChkbArchive,     ui->ChkbMultiSel, ui->chkbIsUserDefAttachFile,
                   ui->chkbIsUserDefPic};
    for (int i = 0; i < kFlagCount; ++i)
        connect(m_flagBoxes[i], &QCheckBox::clicked, this, [this, i] { FlagClicked(Flag(i)); });

    // Names are typed in the grid, one per language; the name field follows it unseen.
    ui->EdtcItemName->hide();
    ui->LblcItemName->hide();
    ui->Grid->setItemDelegate(new NameCellDelegate(ui->Grid));
    ui->Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int c = 0; c < 3; ++c) ui->Grid->setItem(0, c, new QTableWidgetItem);
    ui->Grid->setFixedHeight(ui->Grid->horizontalHeader()->sizeHint().height() +
                             ui->Grid->verticalHeader()->defaultSectionSize() +
                             2 * ui->Grid->frameWidth() + 2);

    connect(ui->CmbCType, &QComboBox::activated, this, &FrmZAM::TypeChosen);
    connect(ui->CmbiDataSource, &QComboBox::activated, this, &FrmZAM::DataSourceChosen);
    connect(ui->CmbcParentID, &QComboBox::activated, this, [this] { MarkChanged(); });
    connect(ui->CmbcRelField, &QComboBox::activated, this, [this](int index) {
        if (m_related->fieldChosen(index)) MarkChanged();
    });
    // The in-use rule judges the length once it is typed, not each digit on the way.
    connect(ui->EdtiLength, &QLineEdit::textEdited, this, &FrmZAM::LengthEdited);
    connect(ui->EdtiLength, &QLineEdit::editingFinished, this, [this] {
        if (!m_filling) LengthKept();
    });
    connect(ui->EdtcDefaultVal, &QLineEdit::editingFinished, this, &FrmZAM::DefaultValueFinished);
    // Text pasted with the mouse is a change as much as typed text.
    for (QLineEdit* e : {ui->EdtIMaxLen, ui->EdtiDecimalDigits, ui->EdtcDefaultVal})
        connect(e, &QLineEdit::textEdited, this, [this] { MarkChanged(); });
    connect(ui->CmdDate, &QToolButton::clicked, this, &FrmZAM::ShowDatePicker);
    connect(ui->Grid, &QTableWidget::itemChanged, this, [this] {
        if (!m_filling) NameCellChanged();
    });
    connect(m_relArchive, &controls::RefEdit::lookupReturned, this,
            [this](host::RecordSetPtr rows) {
                QString message;
                if (m_related->archiveReturned(rows, currentType(), &message)) MarkChanged();
                if (!message.isEmpty()) showRes(message);
            });
    // Typing in the box names no archive: only a choice from the look-up does.
    connect(m_relArchive, &controls::RefEdit::textEdited, this, [this] {
        m_related->forget();
        MarkChanged();
    });
    connect(m_tree, &controls::CheckTree::nodeTicked, this,
            [this](const QString& key, bool on) { tableTicked(key, on); });
    connect(ui->ShowChecked, &QCheckBox::clicked, this,
            [this](bool on) { m_tree->setShowOnlyTicked(on); });
    connect(ui->SSTab1, &QTabWidget::currentChanged, this, [this](int page) {
        if (m_state.plugIns)
            for (const auto& plugIn : *m_state.plugIns)
                if (plugIn) plugIn->TabPageChanged(m_tab, page);
        m_tab = page;
    });
    connect(m_host, &controls::HostToolbar::buttonClicked, this,
            [this](const QString& key) { ButtonClick(key); });
}

FrmZAM::~FrmZAM() {
    // Children going down must not reach the rules of a window already half gone.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
    // An editor gone without being closed gives its record lock back too.
    if (!m_released && m_state.lockHeld && g_Pub)
        g_Pub->IsLockFun(g_SrvDB.get(), g_Login.get(), QStringLiteral("UserDef"), -2);
    // A closed editor has unloaded its plug-ins already.
    if (!m_released && m_state.plugIns)
        for (const auto& plugIn : *m_state.plugIns)
            if (plugIn) plugIn->UnLoadPlugInControls();
}

void FrmZAM::init(host::RecordSetPtr itemSet, int row) {
    m_state.itemSet = std::move(itemSet);
    m_state.row = row;
    m_state.adding = false;
    if (m_state.itemSet && row >= 1 && row <= m_state.itemSet->recordCount()) {
        m_state.column = m_state.itemSet->text(QStringLiteral("cDicDbName"));
        m_state.extended = isExtendedItem(m_state.column);
    }
}

void FrmZAM::Add(const QString& cClass, int row) {
    m_state.cClass = cClass;
    m_state.row = row;
    m_state.adding = true;
    m_state.extended = true;
    m_state.cId.clear();
    m_state.column.clear();
    QString error;
    const std::optional<int> number = NextItemLabelNumber(cClass, &error);
    if (!number) qCWarning(lcItemdef) << "label number:" << error;
    m_state.cItem = storedItemLabel(number.value_or(1));
    if (m_loaded) Fillallfields();
}

void FrmZAM::setArchivePlugin(std::shared_ptr<host::PlugInCollection> plugIns) {
    m_state.plugIns = std::move(plugIns);
}

QAction* FrmZAM::button(const QString& key) const {
    return controls::HostToolbar::classicAction(ui->Tlb, key);
}

bool FrmZAM::isDirty() const {
    const QAction* save = button(QStringLiteral("SaveRs"));
    return save && save->isEnabled();
}

void FrmZAM::setButtonEnabled(const QString& key, bool enabled) {
    if (QAction* a = button(key)) a->setEnabled(enabled);
}

void FrmZAM::CommitTyping() {
    // A name cell still being edited counts as typed before anything asks about changes.
    if (QWidget* cellEditor = ui->Grid->viewport()->findChild<QLineEdit*>();
        cellEditor && cellEditor->isVisible())
        ui->Grid->itemDelegate()->setModelData(cellEditor, ui->Grid->model(),
                                               ui->Grid->currentIndex());
}

void FrmZAM::MarkChanged() {
    if (m_filling || m_state.readOnly) return;
    setButtonEnabled(QStringLiteral("SaveRs"), true);
    userdef::ReRefreshZxTlb(this);
}

QString FrmZAM::classText() const {
    const int pos = classPosition(m_state.cClass);
    return pos >= 0 ? userdef::g_ClassNames.value(pos, m_state.cClass) : m_state.cClass;
}

int FrmZAM::currentType() const {
    return ui->CmbCType->currentIndex() < 0 ? -1
                                            : typePosition(ui->CmbCType->currentData().toString());
}

// ---- loading ---------------------------------------------------------------------------------

void FrmZAM::Load() {
    if (m_loaded) return;
    m_loaded = true;
    m_state.inserted = false;
    SetupToolbar();
    if (g_Pub) g_Pub->FrmUniteFont(this);
    ApplyTexts();
    ui->CmbiDataSource->clear();
    for (int i = 0; i < 2; ++i) ui->CmbiDataSource->addItem(userdef::g_DataSource.value(i), i);
    m_related->loadList();
    if (g_SrvDB) m_nameSize = readItemNameSize(*g_SrvDB);
    Fillallfields();
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
    installEventFilter(this);
    userdef::ReRefreshZxTlb(this);
    LoadPlugInControls();
}

void FrmZAM::SetupToolbar() {
    m_host->setPub(g_Pub.get());
    m_host->Init(ui->Tlb, g_Login.get(), QStringLiteral("Archives_UserDef_Edit"),
                 QStringLiteral("AS"));
    userdef::InitToolbar(this, ui->Tlb, m_host, QString(), this, QStringLiteral("Voucher"));
    setButtonEnabled(QStringLiteral("Archive"), false);
}

void FrmZAM::ApplyTexts() {
    m_filling = true;
    ApplyEditorTexts(*this, *ui);
    m_filling = false;
}

void FrmZAM::FillTypeList() {
    ui->CmbCType->clear();
    for (int i = 0; i < typeKeys().size(); ++i)
        ui->CmbCType->addItem(userdef::g_DataTypes.value(i, typeKeys().at(i)), typeStored(i));
    const int pos = classPosition(m_state.cClass);
    const bool noDateTime =
        pos == kCustomer || pos == kContact || m_state.cClass == QStringLiteral("客户联系人");
    if (noDateTime && ui->CmbCType->count() == 5 &&
        ui->CmbCType->itemData(4).toString() == typeStored(kDateTime))
        ui->CmbCType->removeItem(4);
}

void FrmZAM::Fillallfields() {
    m_filling = true;
    ItemRecord rec;
    host::RecordSet* rs = m_state.itemSet.get();
    if (!m_state.adding && rs && m_state.row >= 1 && m_state.row <= rs->recordCount()) {
        rs->setAbsolutePosition(m_state.row);
        rec = ItemRecord::fromRecordSet(*rs);
        m_state.cId = rec.cId;
        m_state.cClass = rec.cClass;
        m_state.cItem = rec.CItem;
        m_state.column = rec.cDicDbName;
        m_state.extended = rec.isExtended();
    }
    m_state.freeItem = !m_state.adding && isFreeItem(m_state.cItem);
    m_state.storedLength = rec.iLength;
    for (QWidget* w : ui->TabBase->findChildren<QWidget*>()) w->setEnabled(true);
    ui->Grid->setEditTriggers(QAbstractItemView::AllEditTriggers);

    // 1-3: class, type list, parents, names.
    ui->EdtcClass->setText(classText());
    ui->EdtcClass->setProperty("value", m_state.cClass);
    FillTypeList();
    // Each entry carries the cID it stands for; the text only shows it.
    ui->CmbcParentID->clear();
    ui->CmbcParentID->addItem(QString(), QString());
    if (g_SrvDB) {
        const ParentChoices parents =
            readParentChoices(*g_SrvDB, m_state.cClass, m_state.cId, m_state.adding);
        for (int i = 0; i < parents.names.size(); ++i)
            ui->CmbcParentID->addItem(parents.names.at(i), parents.ids.at(i));
    }
    FillNames(m_state.adding || !g_SrvDB ? QStringList(3) : readItemNames(*g_SrvDB, m_state.cId));

    // 4-5: type and the stored values.
    const int type = m_state.adding ? -1 : typePosition(rec.CType);
    ui->CmbCType->setCurrentIndex(ui->CmbCType->findData(typeStored(type)));
    if (!m_state.adding && type < 0)
        userdef::ShowMsg(QStringLiteral("FillField:No Key match Fillallfields()方法"));
    ui->CmbCType->setEnabled(m_state.adding);
    ui->EdtCItem->setText(shownLabel(m_state.cItem, userdef::g_ItemKinds));
    ui->EdtCItem->setProperty("value", m_state.cItem);
    if (m_state.adding) {
        QString number = m_state.cItem;
        number.remove(kindKeys().at(kExtendedItem));
        ui->EdtCItem->setText(userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.FIELD.extenddefineitem")) + number);
    }
    const auto num = [&](int value, bool isNull) {
        return isNull ? QString() : QString::number(value);
    };
    const auto field = [&](const char* name) {
        return !rs || m_state.adding || rs->isNull(QString::fromLatin1(name));
    };
    ui->EdtIMaxLen->setText(num(rec.IMaxLen, field("IMaxLen")));
    ui->EdtiLength->setText(num(rec.iLength, field("iLength")));
    ui->EdtiDecimalDigits->setText(num(rec.iDecimalDigits, field("iDecimalDigits")));
    ui->EdtcDefaultVal->setText(rec.cDefaultVal);
    ui->EdtcItemName->setText(rec.cItemName.isEmpty() ? rec.citemlang : rec.cItemName);
    if (m_state.adding) ui->EdtcItemName->clear();
    const bool values[kFlagCount] = {rec.bFixLength,   rec.bCheckVal, rec.bInput,
                                     rec.bArchive,     rec.bMultiSel, rec.bIsUserDefAttachFile,
                                     rec.bIsUserDefPic};
    for (int i = 0; i < kFlagCount; ++i) m_flagBoxes[i]->setChecked(values[i]);
    ui->CmbiDataSource->setCurrentIndex(m_state.adding ? -1 : (rec.iDataSource == 1 ? 1 : 0));
    // The stored parent is shown even when it is no candidate (then it is the only way to keep
    // it): what the choice shows is what a save writes back.
    const QString parentId = m_state.adding ? QString() : rec.cParentID.trimmed();
    int parentIndex = parentId.isEmpty() ? 0 : ui->CmbcParentID->findData(parentId);
    if (parentIndex < 0) {
        const QString name = g_SrvDB ? readParentName(*g_SrvDB, parentId) : QString();
        ui->CmbcParentID->addItem(name.isEmpty() ? parentId : name, parentId);
        parentIndex = ui->CmbcParentID->count() - 1;
    }
    ui->CmbcParentID->setCurrentIndex(parentIndex);

    // 6: the rules of the kind, the type and the data source on the loaded values.
    EditorFields f = readFields();
    if (!m_state.freeItem) applyRegularItem(f);
    applyTypeRule(type, f);
    writeFields(f);
    EnableDataSource(!m_state.freeItem, !m_state.freeItem && f.dataSource == 1);
    if (m_state.freeItem) {
        f = readFields();
        applyFreeItem(f);
        writeFields(f);
    }
    // 7: related archive and field.
    m_related->show(rec.cRelArchive, rec.cRefID, rec.cRelField, type);
    if (ui->CmbiDataSource->currentIndex() == 1) ui->CmbcParentID->setEnabled(false);

    // 8: in use.
    if (m_state.adding || m_state.extended)
        m_state.inUse = false;
    else if (!probeKeepsFlag(m_state.cClass))
        m_state.inUse = g_SrvDB && probeInUse(*g_SrvDB, m_state.cClass, m_state.cItem);

    // 9-11: toolbar, input limits, the table tree.
    UpdateToolbar();
    if (m_nameSize > 0) ui->EdtcItemName->setMaxLength(m_nameSize);
    static_cast<NameCellDelegate*>(ui->Grid->itemDelegate())->maxLength = m_nameSize;
    ui->EdtiDecimalDigits->setMaxLength(1);
    limitDefaultValue(rec.iLength);
    BuildTree();
    ApplyClassRules();
    m_filling = false;
}

void FrmZAM::limitDefaultValue(int length) {
    // Never below what the field holds: a stored value is not cut.
    QLineEdit* value = ui->EdtcDefaultVal;
    value->setMaxLength(length > 0 ? std::max(length, int(value->text().size())) : 32767);
}

void FrmZAM::FillNames(const QStringList& names) {
    for (int c = 0; c < 3; ++c) ui->Grid->item(0, c)->setText(names.value(c));
}

void FrmZAM::ApplyClassRules() {
    const int pos = classPosition(m_state.cClass);
    // On a list of one class the row says whether the item's column can hold an attachment.
    host::RecordSet* rs = m_state.itemSet.get();
    if (!m_state.adding && rs && !rs->isEmpty() && (pos == kHeader || pos == kBody)) {
        const int row = rs->absolutePosition();
        rs->moveFirst();
        const QString first = rs->text(QStringLiteral("cClass"));
        rs->moveLast();
        const bool oneClass = first == rs->text(QStringLiteral("cClass"));
        rs->setAbsolutePosition(row);
        if (oneClass && !attachmentAllowed(pos, m_state.row))
            ui->chkbIsUserDefAttachFile->setEnabled(false);
    }
    ui->ChkbMultiSel->setVisible(pos == kCustomer || pos == kContact);
    ui->chkbIsUserDefAttachFile->setVisible(pos == kHeader || pos == kBody);
    if (!(pos == kHeader || pos == kBody || pos == kContact || pos == kCustomer))
        ui->CmbcParentID->setEnabled(false);
    ui->chkbIsUserDefPic->setVisible(false);
}

void FrmZAM::UpdateToolbar() {
    setButtonEnabled(QStringLiteral("Archive"),
                     currentType() == kText && !ui->EdtcItemName->text().trimmed().isEmpty());
    setButtonEnabled(QStringLiteral("First"), !m_state.onFirst());
    setButtonEnabled(QStringLiteral("Previous"), !m_state.onFirst());
    setButtonEnabled(QStringLiteral("Next"), !m_state.onLast());
    setButtonEnabled(QStringLiteral("Last"), !m_state.onLast());
    setButtonEnabled(QStringLiteral("SaveRs"), false);
    setButtonEnabled(QStringLiteral("Delete"), !m_state.readOnly);
    setButtonEnabled(QStringLiteral("History"), !m_state.adding && !m_state.cId.isEmpty());
    userdef::ReRefreshZxTlb(this);
}

void FrmZAM::BuildTree() {
    const int pos = classPosition(m_state.cClass);
    const bool shown = m_state.extended && (pos == kHeader || pos == kBody);
    ui->FraTree->setVisible(shown);
    m_alongTables.clear();
    showGroupNote();
    m_ext.cId = m_state.cId;
    m_ext.cClass = m_state.cClass;
    m_ext.adding = m_state.adding;
    m_ext.extended = m_state.extended;
    if (!shown) {
        m_tree->model()->clear();
        return;
    }
    QString error;
    if (!BuildExtendTree(*m_tree->model(), m_ext, &error) ||
        !LoadExtendTables(*m_tree->model(), m_ext, &error))
        qCWarning(lcItemdef) << "table tree:" << error;
    m_tree->setShowOnlyTicked(ui->ShowChecked->isChecked());
    m_tree->expandAll();
}

void FrmZAM::tableTicked(const QString& key, bool on) {
    controls::CheckTreeModel& tree = *m_tree->model();
    const QSet<QString> along = TableNodeTicked(tree, m_ext, key, on);
    // The note names what followed a tick and is still ticked: an untick takes its tables out.
    for (const QString& k : tree.keys()) {
        if (!isTableNode(k)) continue;
        const QString table = tableOfNode(k).toLower();
        if (!tree.isTicked(k))
            m_alongTables.remove(table);
        else if (on && along.contains(table) && !m_alongTables.contains(table))
            m_alongTables.insert(table, tree.text(k));
    }
    showGroupNote();
    MarkChanged();
}

void FrmZAM::showGroupNote() {
    QStringList shown(m_alongTables.cbegin(), m_alongTables.cend());
    shown.sort();
    const QString note =
        shown.isEmpty() ? QString()
                        : userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmZAM.AlsoTicks"))
                              .arg(shown.join(QStringLiteral(", ")));
    m_groupNote->setText(note);
    m_groupNote->setVisible(!note.isEmpty());
    setProperty("saveNote", note);  // the close question shows it too
}

QString FrmZAM::saveQuestion() const {
    const QString question = userdef::ResText(QStringLiteral("Q9.AAARCHIVE.COMMON.savearch_ornot"));
    return m_groupNote->text().isEmpty() ? question
                                         : question + QLatin1Char('\n') + m_groupNote->text();
}

// ---- record lock, read-only mode, plug-ins ---------------------------------------------------

bool FrmZAM::TakeRecordLock() {
    if (m_state.adding || m_state.cId.isEmpty() || !g_Pub) {
        SetReadOnlyMode(false);
        return true;
    }
    const bool refused = g_Pub->IsLockFun(g_SrvDB.get(), g_Login.get(), QStringLiteral("UserDef"),
                                          recordLockMode(m_state.extended), true, m_state.cId);
    m_state.lockHeld = !refused;
    SetReadOnlyMode(refused);
    return !refused;
}

void FrmZAM::SetReadOnlyMode(bool readOnly) {
    m_state.readOnly = readOnly;
    const QString caption = userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.userdefset"));
    setWindowTitle(readOnly ? caption + userdef::ResText(QStringLiteral("Q9.AA.GRADEDEF.FRMGRADEDEF.readonly"))
                            : caption);
    m_tree->setLocked(readOnly);
    ui->Grid->setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                                       : QAbstractItemView::AllEditTriggers);
    if (!readOnly) return;
    for (QWidget* w : ui->TabBase->findChildren<QWidget*>())
        if (!qobject_cast<QLabel*>(w) && w != ui->Grid && w != m_tree && !m_tree->isAncestorOf(w) &&
            !ui->Grid->isAncestorOf(w))
            w->setEnabled(false);
    setButtonEnabled(QStringLiteral("SaveRs"), false);
    setButtonEnabled(QStringLiteral("Delete"), false);
    userdef::ReRefreshZxTlb(this);
}

void FrmZAM::LoadPlugInControls() {
    if (m_state.cItem.contains(kindKeys().at(kFreeItem))) {
        userdef::LoadPlugIns(QStringLiteral("UserDef"), g_Login.get(), m_state.plugIns);
        if (!m_state.plugIns) return;
        for (const auto& plugIn : *m_state.plugIns) {
            if (!plugIn) continue;
            plugIn->init(QStringLiteral("UserDef"), m_state.cId, this);
            plugIn->StartModify();
            plugIn->LoadPlugInControls(ui->SSTab1);
        }
    } else if (m_state.plugIns) {
        for (const auto& plugIn : *m_state.plugIns)
            if (plugIn) plugIn->UnLoadPlugInControls();
    }
}

void FrmZAM::PlugInNotice(const QString& notice) {
    if (notice.compare(QLatin1String("Button_SAVE"), Qt::CaseInsensitive) == 0) MarkChanged();
}

QString FrmZAM::Talk(const QString& fieldName) {
    if (fieldName.compare(QLatin1String("cId"), Qt::CaseInsensitive) == 0) return m_state.cId;
    if (fieldName.compare(QLatin1String("cClass"), Qt::CaseInsensitive) == 0) return m_state.cClass;
    if (fieldName.compare(QLatin1String("cItem"), Qt::CaseInsensitive) == 0) return m_state.cItem;
    return {};
}

// ---- commands --------------------------------------------------------------------------------

void FrmZAM::ButtonClick(const QString& key) {
    CommitTyping();
    const bool move = is(key, "first") || is(key, "previous") || is(key, "next") || is(key, "last");
    if (move && isDirty() && g_Pub) {
        const int answer = g_Pub->MsgBox(saveQuestion(),
                                         host::MsgButtons::YesNoQuestion,
                                         userdef::ResText(QStringLiteral("Q9.AA.ARCHIVE.COMMON.exclamation")));
        if (answer == host::MsgAnswer::Yes) {
            if (!Operating(QStringLiteral("SaveRs"))) return;  // a failed save keeps the item
        } else {
            setButtonEnabled(QStringLiteral("SaveRs"), false);  // the changes are dropped
        }
    }
    Operating(key);
}

bool FrmZAM::Operating(const QString& command) {
    emit commandReceived(command);
    if (is(command, "first") || is(command, "previous") || is(command, "next") ||
        is(command, "last"))
        return Move(command);
    if (is(command, "Help")) {
        if (g_Pub)
            g_Pub->HelpX(
                m_state.extended ? QStringLiteral("UserDefExtend") : QStringLiteral("UserDef"),
                this);
        return true;
    }
    if (is(command, "Exit")) return close();
    if (is(command, "SaveRs")) return SaveCommand();
    if (is(command, "Archive")) return ArchiveCommand();
    if (is(command, "Delete")) return DeleteCommand();
    if (is(command, "History")) return HistoryCommand();
    qCDebug(lcItemdef) << "editor command" << command << "unknown";
    return false;
}

bool FrmZAM::SaveRs() { return Operating(QStringLiteral("SaveRs")); }

bool FrmZAM::HistoryCommand() {
    if (m_state.adding || m_state.cId.isEmpty()) return false;
    history::FrmHistory window(m_state.cId, this);
    bool undone = false;
    connect(&window, &history::FrmHistory::changed, this, [&undone] { undone = true; });
    userdef::ShowModal(&window);
    if (!undone) return true;
    // The fields show the item as it was read: the editor closes and the list reads it again.
    emit itemListChanged(m_state.cId);
    return close();
}

bool FrmZAM::Move(const QString& command) {
    CommitTyping();
    if (g_Pub && !g_Pub->isSaveRs(this)) return false;
    const int count = m_state.recordCount();
    if (count == 0) return false;
    if (g_Pub && m_state.lockHeld)
        g_Pub->IsLockFun(g_SrvDB.get(), g_Login.get(), QStringLiteral("UserDef"), -2);
    m_state.lockHeld = false;
    int row = std::clamp(m_state.row, 1, count);
    if (is(command, "first"))
        row = 1;
    else if (is(command, "previous"))
        row = std::max(1, row - 1);
    else if (is(command, "next"))
        row = m_state.row > count ? count : std::min(count, row + 1);
    else
        row = count;
    m_state.row = row;
    m_state.adding = false;
    Fillallfields();
    TakeRecordLock();
    LoadPlugInControls();
    return true;
}

void FrmZAM::showEvent(QShowEvent* event) {
    Load();
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        TakeRecordLock();
    }
}

void FrmZAM::done(int result) {
    if (!m_released) {
        CommitTyping();
        if (g_Pub && !g_Pub->isSaveRs(this)) return;  // the user keeps the editor open
        userdef::DebugTrace(QStringLiteral("startunload"));
        if (m_state.plugIns)
            for (const auto& plugIn : *m_state.plugIns)
                if (plugIn) plugIn->UnLoadPlugInControls();
        if (g_Pub) g_Pub->IsLockFun(g_SrvDB.get(), g_Login.get(), QStringLiteral("UserDef"), -2);
        m_state.lockHeld = false;
        m_released = true;
    }
    QDialog::done(result);
}

// ---- keyboard --------------------------------------------------------------------------------

bool FrmZAM::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && handleKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool FrmZAM::handleKey(QObject* watched, QKeyEvent* e) {
    const int key = e->key();
    const bool alt = e->modifiers() & Qt::AltModifier;
    if (key == Qt::Key_F6 || key == Qt::Key_F8 || key == Qt::Key_Escape) CommitTyping();
    switch (key) {
        case Qt::Key_PageUp:
            ButtonClick(alt ? QStringLiteral("First") : QStringLiteral("Previous"));
            return true;
        case Qt::Key_PageDown:
            ButtonClick(alt ? QStringLiteral("Last") : QStringLiteral("Next"));
            return true;
        case Qt::Key_Escape:
            // Closing asks about unsaved changes, as a move does.
            Operating(QStringLiteral("Exit"));
            return true;
        case Qt::Key_F6:
            if (isDirty()) Operating(QStringLiteral("SaveRs"));
            return true;
        case Qt::Key_F8:
            if (QAction* a = button(QStringLiteral("Archive")); a && a->isEnabled())
                Operating(QStringLiteral("Archive"));
            return true;
        case Qt::Key_F1:
            Operating(QStringLiteral("Help"));
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* w = qobject_cast<QWidget*>(watched); w && w != this && w != ui->Grid) {
                focusNextChild();
                return true;
            }
            break;
        default:
            break;
    }
    if (watched == ui->EdtiDecimalDigits && userdef::TypesText(*e)) {
        const bool batch = classPosition(m_state.cClass) == kBatchProperty;
        if (!decimalKeyAccepted(key, batch)) {
            if (g_Pub)
                userdef::ExplainRefusal(
                    ui->EdtiDecimalDigits,
                    g_Pub->GetResFormatString(QStringLiteral("Pub.Edit.DigitsUpTo"),
                                              {batch ? QStringLiteral("8") : QStringLiteral("6")}));
            return true;
        }
    }
    if (watched == ui->EdtcDefaultVal && !e->text().isEmpty() &&
        ui->CmbiDataSource->currentIndex() == 1) {
        ui->EdtcDefaultVal->clear();
        ui->EdtcDefaultVal->setEnabled(false);
        return true;
    }
    // A box marks its own edits (textEdited): a key that only selects, copies or is refused
    // there changes nothing.
    if (!qobject_cast<QLineEdit*>(watched) && keyMarksChange(key)) MarkChanged();
    return false;
}

// ---- field rules on the widgets -------------------------------------------------------------

EditorFields FrmZAM::readFields() const {
    EditorFields f;
    const auto read = [](const QWidget* w, const QString& text) {
        return FieldState{w->isEnabled(), !w->isHidden(), text};
    };
    f.maxLen = read(ui->EdtIMaxLen, ui->EdtIMaxLen->text());
    f.length = read(ui->EdtiLength, ui->EdtiLength->text());
    f.decimals = read(ui->EdtiDecimalDigits, ui->EdtiDecimalDigits->text());
    f.defaultVal = read(ui->EdtcDefaultVal, ui->EdtcDefaultVal->text());
    f.dateButton = read(ui->CmdDate, QString());
    f.relArchive = read(m_relArchive, m_relArchive->text());
    f.relField = read(ui->CmbcRelField, ui->CmbcRelField->currentText());
    for (int i = 0; i < kFlagCount; ++i)
        f.flags[i] = {m_flagBoxes[i]->isChecked(), m_flagBoxes[i]->isEnabled()};
    f.dataSource = ui->CmbiDataSource->currentIndex();
    return f;
}

void FrmZAM::writeFields(const EditorFields& f) {
    const auto write = [](QLineEdit* w, const FieldState& s) {
        w->setEnabled(s.enabled);
        if (w->text() != s.text) w->setText(s.text);
    };
    write(ui->EdtIMaxLen, f.maxLen);
    write(ui->EdtiLength, f.length);
    write(ui->EdtiDecimalDigits, f.decimals);
    write(ui->EdtcDefaultVal, f.defaultVal);
    ui->CmdDate->setEnabled(f.dateButton.enabled);
    ui->CmdDate->setVisible(f.dateButton.visible);
    m_relArchive->setEnabled(f.relArchive.enabled);
    if (m_relArchive->text() != f.relArchive.text) m_relArchive->setText(f.relArchive.text);
    ui->CmbcRelField->setEnabled(f.relField.enabled);
    if (f.relField.text.isEmpty()) ui->CmbcRelField->clear();
    for (int i = 0; i < kFlagCount; ++i) {
        m_flagBoxes[i]->setChecked(f.flags[i].checked);
        m_flagBoxes[i]->setEnabled(f.flags[i].enabled);
    }
    ui->CmbiDataSource->setCurrentIndex(f.dataSource);
}

void FrmZAM::EnableDataSource(bool dataSourceUsable, bool archiveUsable) {
    ui->LbliDataSource->setEnabled(dataSourceUsable);
    ui->CmbiDataSource->setEnabled(dataSourceUsable &&
                                   !ui->EdtcItemName->text().trimmed().isEmpty());
    if (!dataSourceUsable) {
        ui->CmbiDataSource->setCurrentIndex(-1);
        ui->ChkbCheckVal->setChecked(false);
    }
    for (QWidget* w :
         {static_cast<QWidget*>(ui->LblcRelArchive), static_cast<QWidget*>(m_relArchive),
          static_cast<QWidget*>(ui->LblcRelField), static_cast<QWidget*>(ui->CmbcRelField)})
        w->setEnabled(archiveUsable);
    m_relArchive->setText(QString());
    ui->CmbcRelField->clear();
}

void FrmZAM::TypeChosen(int index) {
    EditorFields f = readFields();
    applyTypeRule(index < 0 ? -1 : typePosition(ui->CmbCType->itemData(index).toString()), f, true);
    writeFields(f);
    m_related->forget();
    MarkChanged();
}

void FrmZAM::DataSourceChosen(int index) {
    if (currentType() < 0) {
        m_relArchive->setEnabled(false);
        ui->CmbcRelField->setEnabled(false);
        showRes(QStringLiteral("Q9.AA.ARCHIVE.FIELD.thefirstchoosedatatype"));
        ui->CmbiDataSource->setCurrentIndex(-1);
        return;
    }
    MarkChanged();
    // The box and the field choice start empty again; so does what they stood for.
    m_related->forget();
    if (m_state.freeItem) {
        EnableDataSource(false, false);
    } else if (index == 1) {
        EnableDataSource(true, true);
        ui->EdtcDefaultVal->clear();
        ui->EdtcDefaultVal->setEnabled(false);
        ui->CmdDate->setVisible(false);
        ui->ChkbFixLength->setChecked(false);
        ui->ChkbFixLength->setEnabled(false);
        m_related->initLookup();
    } else {
        EnableDataSource(true, false);
        ui->EdtcDefaultVal->setEnabled(true);
        const int type = currentType();
        if (type == kText) ui->ChkbFixLength->setEnabled(true);
        if (type == kDate || type == kDateTime) {
            ui->CmdDate->setVisible(true);
            ui->CmdDate->setEnabled(true);
        }
    }
    const int pos = classPosition(m_state.cClass);
    const bool parentClass = pos == kHeader || pos == kBody || pos == kContact || pos == kCustomer;
    if (ui->CmbiDataSource->currentIndex() == 1) ui->CmbcParentID->setCurrentIndex(0);
    ui->CmbcParentID->setEnabled(parentClass && ui->CmbiDataSource->currentIndex() != 1);
}

void FrmZAM::FlagClicked(Flag flag) {
    if (m_state.readOnly) return;
    EditorFields f = readFields();
    const FlagClick click =
        flagClicked(flag, f, {ui->EdtcItemName->text(), ui->EdtiLength->text(), m_state.freeItem});
    writeFields(f);
    if (click.undone) {
        ui->Grid->setFocus();
        return;
    }
    if (!click.messageKey.isEmpty()) showRes(click.messageKey, click.messageArg);
    if (click.changed) MarkChanged();
}

void FrmZAM::LengthEdited() {
    limitDefaultValue(ui->EdtiLength->text().trimmed().toInt());
    MarkChanged();
}

bool FrmZAM::LengthKept() {
    if (m_state.adding || m_state.readOnly ||
        !lengthReductionRefused(m_state.inUse, m_state.storedLength, ui->EdtiLength->text()))
        return true;
    showRes(QStringLiteral("Q9.AA.USERDEF.FRMZAM.402_1"));
    ui->EdtiLength->setText(QString::number(m_state.storedLength));
    limitDefaultValue(m_state.storedLength);
    return false;
}

void FrmZAM::DefaultValueFinished() {
    if (m_filling || m_state.readOnly) return;
    const DefaultCheck check =
        defaultValueChanged(ui->EdtcDefaultVal->text(), ui->ChkbFixLength->isChecked(),
                            ui->EdtiLength->text(), currentType());
    if (check.untickFixLength) ui->ChkbFixLength->setChecked(false);
    if (!check.messageKey.isEmpty()) showRes(check.messageKey, check.messageArg);
    if (check.refused) {
        ui->EdtcDefaultVal->clear();
        ui->EdtcDefaultVal->setFocus();
    }
}

void FrmZAM::NameCellChanged() {
    // The name field follows the grid: the simplified-Chinese name, else the others joined.
    QString name = ui->Grid->item(0, 0)->text().trimmed();
    if (name.isEmpty() || m_state.extended)
        name = ui->Grid->item(0, 0)->text() + ui->Grid->item(0, 1)->text() +
               ui->Grid->item(0, 2)->text();
    ui->EdtcItemName->setText(name);
    if (!m_state.freeItem && !m_state.readOnly)
        ui->CmbiDataSource->setEnabled(!name.trimmed().isEmpty());
    MarkChanged();
}

void FrmZAM::ShowDatePicker() {
    if (!m_calendar) {
        m_calendar = new QCalendarWidget(this);
        m_calendar->setObjectName(QStringLiteral("DatePicker"));
        m_calendar->setWindowFlags(Qt::Popup);
        if (g_Pub) m_calendar->setLocale(QLocale(g_Pub->M_LocaleId()));
        const auto pick = [this](QDate date) {
            ui->EdtcDefaultVal->setText(date.toString(QStringLiteral("yyyy-MM-dd")));
            m_calendar->hide();
            MarkChanged();
        };
        connect(m_calendar, &QCalendarWidget::clicked, this, pick);
        connect(m_calendar, &QCalendarWidget::activated, this, pick);
    }
    const QDate current =
        QDate::fromString(ui->EdtcDefaultVal->text().left(10), QStringLiteral("yyyy-MM-dd"));
    m_calendar->setSelectedDate(current.isValid() ? current : QDate::currentDate());
    m_calendar->move(ui->CmdDate->mapToGlobal(QPoint(0, ui->CmdDate->height())));
    m_calendar->show();
}

}  // namespace itemdef
