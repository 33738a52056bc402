#pragma once
// The carry-over rule list: every rule that carries (btrans=1), one row per rule, with table and
// item names resolved. From it the user filters, adds rules for a new pair or changes the rules
// of the selected row's pair in the rule editor, deletes a rule, prints and exports. Every
// action goes through ButtonClick(key). The rule editor refreshes the one open list after a
// save.
#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class FrmMakeVouchSet;
}

namespace host {
class IColSet;
class IFilterSvr;
}  // namespace host

namespace controls {
class Grid;
class HostToolbar;
}  // namespace controls

namespace carryover {

class FrmManage;

class FrmMakeVouchSet : public QDialog {
    Q_OBJECT

public:
    // Grid columns (column c shows field c-1 of the list statement).
    static constexpr int kColSource = 2, kColTarget = 4, kColField = 6, kColGuid = 14;

    explicit FrmMakeVouchSet(QWidget* parent = nullptr);
    ~FrmMakeVouchSet() override;

    // The open list the rule editor refreshes; null when none is open.
    static FrmMakeVouchSet* shared();

    // Columns from the list statement without rows.
    void InitGrid(const QString& condition = {});
    // Asks the host's filter component for a condition; when the user confirms, it becomes the
    // current filter and the list reloads with it (true). Otherwise nothing changes (false).
    bool DoFilter();
    QString filterCondition() const { return m_condition; }
    // The command entry; keys compare without regard to letter case.
    Q_INVOKABLE void ButtonClick(const QString& key);
    Q_INVOKABLE void ExitForm();
    QString WriteData();

    // Called with each rule editor the list opens, before it is shown (tests drive it there).
    void setEditorHook(std::function<void(FrmManage&)> hook) { m_editorHook = std::move(hook); }

    controls::Grid* grid() const;

private:
    void ListRules(const QString& condition = {});
    void PrintAll(const QString& key);
    void openEditor(FrmManage& editor);
    bool buttonEnabled(const char* key) const;
    void SetupHotKeys();

    std::unique_ptr<Ui::FrmMakeVouchSet> ui;
    controls::HostToolbar* m_host;
    QString m_condition;
    std::shared_ptr<host::IFilterSvr> m_filter;  // both made on the first filter
    std::shared_ptr<host::IColSet> m_colSet;
    std::function<void(FrmManage&)> m_editorHook;
};

}  // namespace carryover
