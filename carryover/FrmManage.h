#pragma once
// The carry-over rule editor: the rules of one table pair. The user chooses a source and a
// target table; the editor lists every extended item on both tables, and for each the user
// sets whether it is carried (a yes/no list) and a description in the item's grid cells.
// Saving sends one rule record per listed item, with the pair's carry-over path.
// Add mode (Add()) adds the rules; modify mode (init()) changes the rules of the pair handed
// over; a successful add turns the window to modify mode.
#include <QDialog>
#include <functional>
#include <memory>

#include "host/RecordSet.h"

namespace Ui {
class FrmManage;
}

namespace controls {
class Grid;
class HostToolbar;
class RefEdit;
}  // namespace controls

namespace carryover {

class FrmManage : public QDialog {
    Q_OBJECT

public:
    // Item grid columns.
    static constexpr int kColName = 1, kColTrans = 2, kColDesc = 3, kColField = 4, kColGuid = 5;

    explicit FrmManage(QWidget* parent = nullptr);
    ~FrmManage() override;

    // Add mode: a new pair.
    void Add();
    // Modify mode: the rules of one pair (the rule list's statement), positioned on a row.
    void init(host::RecordSetPtr rules, int row);
    int editMode() const { return m_editMode; }
    // Builds the window for its mode (after Add or init); the first show runs it too.
    void Load();

    // The item rows of a record set (cItemName, btrans, cdesc, cDicDbName, guid).
    void FillGrid(host::RecordSet& rows);
    // The command entry: "SaveRs", "Help", "Exit" (letter case ignored). True when handled.
    Q_INVOKABLE bool Operating(const QString& key);
    // Validates, builds and sends the rule records: mode 1 adds, 2 modifies.
    bool SaveRs(int mode);
    Q_INVOKABLE bool SaveRs();

    // A table chosen in a chooser (the look-up's returned row: ctype, csub_id, ctablename,
    // ctabledesc).
    void chooseSource(const host::RecordSet& row);
    void chooseTarget(const host::RecordSet& row);
    QString sourceTable() const { return m_sourceTable; }
    QString targetTable() const { return m_targetTable; }
    QString typeCode() const { return m_typeCode; }

    // Run after a successful save: the rule list's "REFRESH".
    void setAfterSave(std::function<void()> afterSave) { m_afterSave = std::move(afterSave); }

    controls::Grid* grid() const;
    controls::RefEdit* sourceChooser() const;
    controls::RefEdit* targetChooser() const;
    bool saveEnabled() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetupHotKeys();
    void InitGridTitles();
    void FillItemGrid(const QString& search = {});
    void LoadExistingRules();
    // (valid, message key)
    std::pair<bool, QString> CheckRule();
    QString BuildRuleXml(bool* ok);
    void cellChanged(int row);
    void setSaveEnabled(bool on);
    bool beforeTargetLookup();

    std::unique_ptr<Ui::FrmManage> ui;
    controls::HostToolbar* m_host;
    host::RecordSetPtr m_rules;
    QString m_sourceTable, m_sourceDesc, m_targetTable, m_targetDesc, m_typeCode, m_subId;
    int m_currentRow = 0;
    int m_editMode = 1;
    bool m_loaded = false;
    std::function<void()> m_afterSave;
};

}  // namespace carryover
