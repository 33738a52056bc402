#pragma once
// The item editor: one user-defined item with its class and label, type, lengths, default
// value, data source, parent, flags, names in three languages and, for an extended header or
// body item, the host tables that receive its column. The catalogue opens it on an existing
// item (init) or to add an extended item (init, then Add) and shows it modally; loading runs on
// the first show (or Load()). Every command goes through Operating; toolbar, keys and moves
// feed it. The field rules live in FieldRules, the reads in EditorQueries and InUseProbe, the
// table tree in ExtendTables and the related archives in DataSourceRefs.
#include <QDialog>
#include <QMap>
#include <QList>
#include <QPointer>
#include <memory>
#include <optional>

#include "host/IPlugIn.h"
#include "host/RecordSet.h"
#include "itemdef/EditorState.h"
#include "itemdef/ExtendTables.h"
#include "itemdef/FieldRules.h"
#include "itemdef/ItemSave.h"

namespace Ui {
class FrmZAM;
}
class QAction;
class QCalendarWidget;
class QCheckBox;
class QLabel;

namespace controls {
class CheckTree;
class HostToolbar;
class RefEdit;
}  // namespace controls

namespace itemdef {

class RelatedArchive;

class FrmZAM : public QDialog, public host::IPlugInHost {
    Q_OBJECT
    // Unsaved changes ("SaveRs" enabled), as the public service's isSaveRs reads them.
    Q_PROPERTY(bool dirty READ isDirty)

public:
    explicit FrmZAM(QWidget* parent = nullptr);
    ~FrmZAM() override;

    // The items of the class (positioned by the caller on the item) and its 1-based row.
    void init(host::RecordSetPtr itemSet, int row);
    // After init, to add an extended item of the class: numbers the label.
    void Add(const QString& cClass, int row);
    void setArchivePlugin(std::shared_ptr<host::PlugInCollection> plugIns);
    std::shared_ptr<host::PlugInCollection> archivePlugin() const { return m_state.plugIns; }

    // Builds the window and fills it; runs once, the first show calls it.
    void Load();
    bool isLoaded() const { return m_loaded; }
    // Fills every field from the current record of the item set (or empty for a new item).
    void Fillallfields();

    // The command entry: "SaveRs", "Archive", "First", "Previous", "Next", "Last", "Delete",
    // "History", "Help", "Exit" (letter case ignored). True when the command completed.
    Q_INVOKABLE bool Operating(const QString& command);
    // A toolbar button: moves ask to save unsaved changes first, then Operating.
    Q_INVOKABLE void ButtonClick(const QString& key);
    // Saves the item (isSaveRs calls it when the user wants unsaved changes kept).
    Q_INVOKABLE bool SaveRs();

    // The checks before a save (FrmZAMSave.cpp); every refusal has shown its message and put the
    // focus on its field.
    bool CheckValid();
    // Writes the item: 1 a new extended item, 2 a regular item, 3 delete an extended item,
    // 4 an existing extended item (itemdef/ItemSave.h); other modes do nothing (false).
    bool SaveUserDefRs(const QString& id, int mode);
    // The item document as the next save would send it (numbers a new item's column, asks the
    // cover questions); nullopt when it cannot be built.
    std::optional<BuiltDocument> BuildItemDocument();
    // The opener's overwrite choice mVouchTip0–2, read when the document is built.
    void setCoverTips(const QList<QAction*>& tips);

    void PlugInNotice(const QString& notice) override;
    QString Talk(const QString& fieldName) override;

    const EditorState& state() const { return m_state; }
    bool isDirty() const;
    bool isReadOnly() const { return m_state.readOnly; }
    // The classic toolbar's action of a key (the host toolbar mirrors it).
    QAction* button(const QString& key) const;
    controls::HostToolbar* hostToolbar() const { return m_host; }
    controls::CheckTree* tree() const { return m_tree; }
    controls::RefEdit* relArchiveBox() const { return m_relArchive; }
    QCalendarWidget* datePicker() const { return m_calendar; }

signals:
    void commandReceived(const QString& command);
    // The item was saved or deleted: the opener refreshes its list and selects the item
    // (cId empty after a delete).
    void itemListChanged(const QString& cId);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetupToolbar();
    void ApplyTexts();
    void FillTypeList();
    void ApplyClassRules();
    void FillNames(const QStringList& names);
    void UpdateToolbar();
    void BuildTree();
    bool TakeRecordLock();
    void SetReadOnlyMode(bool readOnly);
    void LoadPlugInControls();
    bool Move(const QString& command);
    // "SaveRs", "Archive" and "Delete" (FrmZAMSave.cpp).
    bool SaveCommand();
    bool ArchiveCommand();
    bool DeleteCommand();
    // The item's history; after an undo there the editor closes.
    bool HistoryCommand();
    void AfterSave();
    int coverOption() const;
    bool handleKey(QObject* watched, QKeyEvent* event);

    // Field rules on the widgets.
    EditorFields readFields() const;
    void writeFields(const EditorFields& f);
    void EnableDataSource(bool dataSourceUsable, bool archiveUsable);
    void TypeChosen(int index);
    void DataSourceChosen(int index);
    void FlagClicked(Flag flag);
    void LengthEdited();
    // An in-use item's length may not fall below the stored one: refused (stored value back).
    bool LengthKept();
    void limitDefaultValue(int length);
    void DefaultValueFinished();
    void NameCellChanged();
    void ShowDatePicker();
    void MarkChanged();
    void CommitTyping();
    void setButtonEnabled(const QString& key, bool enabled);
    int currentType() const;
    QString classText() const;

    std::unique_ptr<Ui::FrmZAM> ui;
    controls::HostToolbar* m_host;
    controls::CheckTree* m_tree;
    controls::RefEdit* m_relArchive;
    QCalendarWidget* m_calendar = nullptr;
    QList<QCheckBox*> m_flagBoxes;  // in Flag order
    EditorState m_state;
    ExtendEditorState m_ext;
    std::unique_ptr<RelatedArchive> m_related;
    bool m_loaded = false;
    bool m_shown = false;
    bool m_filling = false;
    bool m_released = false;
    int m_nameSize = 0;
    int m_tab = 0;
    QList<QPointer<QAction>> m_coverTips;
    // Tables ticked along with a ticked table of their group (lower case → shown text), and
    // the note beside the tree that names them.
    QMap<QString, QString> m_alongTables;
    QLabel* m_groupNote = nullptr;
    void tableTicked(const QString& key, bool on);
    void showGroupNote();
    // The question before unsaved changes are saved or dropped, with the group note.
    QString saveQuestion() const;
};

}  // namespace itemdef
