#pragma once
// The value archive: the selectable values of one user-defined item, with the item's definition
// shown read-only, a grid of its values and edit boxes for one value. The caller hands it its
// item list positioned on the item (init); the window steps through the neighbouring items.
// Every command goes through Operating: toolbar, hot keys and the caller.
//
// Calling order: setArchivePlugin, init, IsHaveParentDefine, then show it modally (the opening
// steps run on the first show, or by Load()).
#include <QDialog>
#include <memory>

#include "archive/ValuePersistence.h"
#include "host/IPlugIn.h"
#include "host/RecordSet.h"

namespace Ui {
class FrmZArchive;
}
class QAction;
class QLineEdit;

namespace controls {
class Grid;
class HostToolbar;
class RefEdit;
}  // namespace controls

namespace archive {

class FrmZArchive : public QDialog, public host::IPlugInHost {
    Q_OBJECT

public:
    explicit FrmZArchive(QWidget* parent = nullptr);
    ~FrmZArchive() override;

    void setArchivePlugin(std::shared_ptr<host::PlugInCollection> plugIns);
    std::shared_ptr<host::PlugInCollection> archivePlugin() const { return m_plugIns; }
    void init(host::RecordSetPtr items);
    void IsHaveParentDefine(bool has) { m_hasParentDefine = has; }

    // The opening steps; runs once (the first show calls it).
    void Load();
    void Fillallfields();
    void FillGrid();
    // Runs one command (letter case ignored); true when it ran to its end.
    Q_INVOKABLE bool Operating(const QString& command);
    // The public service's save question calls this.
    Q_INVOKABLE bool SaveRs() { return Operating(QStringLiteral("SaveRs")); }
    void PrintAll(const QString& command);
    QString WriteData();
    bool CheckValue();

    void WriteUserDefineXML(const QString& itemId, QString& document, int mode,
                            const QString& oldValue) const;
    bool SaveUserDefineRs(const QString& itemId, const QString& oldValue, int mode);
    bool DeleteUserDefineRs(const QString& itemId, const QString& value);
    QString Talk(const QString& fieldName) override;
    void PlugInNotice(const QString& notice) override;
    host::IGrid* PlugInGrid() override;

    // A click on a toolbar button: Operating, then the row buttons off (but for "Exit").
    void ButtonClick(const QString& key);

    // State, for the caller and tests.
    int editMode() const { return m_editMode; }
    QString currentItemId() const { return m_itemId; }
    QString oldValue() const { return m_oldValue; }
    bool isFreeItem() const { return m_freeItem; }
    int valueColumnSize() const { return m_valueSize; }
    controls::Grid* grid() const;
    QAction* button(const QString& key) const;  // the classic toolbar's action of a key
    controls::HostToolbar* hostToolbar() const { return m_host; }
    // An edit box by name (a look-up box's line edit for EdtcValue, EdtcParentValue).
    QLineEdit* box(const QString& objectName) const;
    controls::RefEdit* lookupBox(const QString& objectName) const;

    // The grid's current row changed to row (0: none).
    void RowSelected(int row);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyTexts();
    void SetupToolbar();
    void ReadColumnSizes();
    void SetEditEnabled(bool enabled);
    void ClearEditFields();
    void SetRowButtons(bool enabled);
    void FollowEditMode();
    bool Navigate(const QString& command);
    bool AddOrModify(bool modify);
    bool DeleteValue();
    bool SaveValue();
    void LoadValuePlugIns();
    void ShowProblem(const QString& key, QWidget* focus);
    bool HandleKey(QObject* watched, QKeyEvent* key);
    void EnableSave();
    void setButton(const QString& key, bool enabled);
    bool buttonEnabled(const QString& key) const;
    // Before a move that ends the edit (another item, another row, Add while modifying, close):
    // when the user changed something, asks whether to save it (Yes/No/Cancel). True when the
    // move may go on; false keeps the user where they are, typing included (Cancel, or the save
    // behind Yes failed).
    bool LeaveEdit();
    QStringList EditTexts() const;
    bool Changed() const;
    bool takeValueLock();
    void releaseValueLock();
    ValueBoxes boxes() const;
    QLineEdit* valueEdit() const;
    QLineEdit* parentEdit() const;
    void SetValueLookup(controls::RefEdit* box, const QString& select, const QString& title,
                        const QString& caption);
    void ValueLookedUp(const host::RecordSetPtr& rows);
    bool ParentValueValid() const;
    bool CheckParentValue();
    QString res(const QString& key) const;

    std::unique_ptr<Ui::FrmZArchive> ui;
    controls::HostToolbar* m_host;
    host::RecordSetPtr m_items;
    std::shared_ptr<host::PlugInCollection> m_plugIns;
    QString m_itemId;
    QString m_relArchive;
    QString m_relField;
    QString m_oldValue;
    QString m_itemType;  // the stored type of the current item
    QStringList m_editStart;  // the boxes as the edit began
    bool m_plugInChanged = false;  // a plug-in reported a change during the edit
    int m_editMode = kBrowse;
    int m_valueSize = 0;
    int m_currentRow = 0;
    bool m_gridEvents = false;
    bool m_hasParentDefine = false;
    bool m_freeItem = false;
    bool m_loaded = false;
    bool m_filling = false;
    bool m_lockHeld = false;
    bool m_closing = false;
};

}  // namespace archive
