#pragma once
// The carry-over batch setting: every carry-over rule of one document part as a matrix, one row
// per table pair (source → target) and one check column per extended item of the part. The tab
// strip chooses the part: header (letter "H", grid `Grid`) or body ("B", grid `Grid1`). Only
// cells for which a rule of the part's letter exists can be ticked; rules are made by the rule
// editor. Every action goes through Operating(key), fed by the toolbars and the hot keys.
//
// The catalogue shows the window modally (after init()) or hosts it in the portal.
#include <QDialog>
#include <QStringList>
#include <memory>
#include <optional>

#include "carryover/TableRef.h"

namespace Ui {
class FrmMakeVouchMain;
}
class QTabBar;

namespace controls {
class Grid;
class HostToolbar;
class RefEdit;
}  // namespace controls

namespace carryover {

class FrmMakeVouchMain : public QDialog {
    Q_OBJECT

public:
    explicit FrmMakeVouchMain(QWidget* parent = nullptr);
    ~FrmMakeVouchMain() override;

    enum Tab { HeaderTab = 0, BodyTab = 1 };
    enum EditMode { Browse = 0, Editing = 2 };

    // Called by the catalogue before a modal show: the window stands by itself.
    void init();
    bool shownByItself() const { return m_shownByItself; }

    void SetTabStripCaption();
    // Builds the columns of the current tab's grid (no data rows).
    void InitGridTitle();
    // The command entry; keys compare without regard to letter case. True when handled.
    Q_INVOKABLE bool Operating(const QString& key);
    // Builds the changed rules and hands them to the service (mode 1 add, 2 modify).
    bool SaveRs(int mode);
    // The close question's save: saves with the window's edit mode.
    Q_INVOKABLE bool SaveRs();
    // The portal's close. The cancel flag the close left is kept for the portal.
    Q_INVOKABLE void ExitForm();
    int exitCancel() const { return m_exitCancel; }
    // Print, preview, page set-up or export of the current tab's grid.
    void PrintAll(const QString& key);
    // The print data of the current tab's grid.
    QString WriteData();

    // A table chosen in a chooser (the look-up's returned row): its description in the
    // session's language becomes the chooser's text, which filters the searches on the tables'
    // shown descriptions and names. Typed text filters as well.
    void chooseTable(bool target, const TableChoice& table);
    TableChoice chosenTable(bool target) const { return target ? m_target : m_source; }

    int currentTab() const { return m_currentTab; }
    // Switches tabs as a click on the tab strip does (asking about unsaved changes first).
    void clickTab(int tab);
    int editMode() const { return m_editMode; }
    bool changed() const { return m_changed; }
    controls::Grid* grid(int tab) const;
    controls::Grid* currentGrid() const { return grid(m_currentTab); }
    QStringList itemNames(int tab) const { return m_itemNames[tab == BodyTab ? 1 : 0]; }
    QString letter() const;
    controls::HostToolbar* hostToolbar() const { return m_host; }
    controls::RefEdit* sourceChooser() const;
    controls::RefEdit* targetChooser() const;
    QTabBar* tabStrip() const { return m_tabs; }

signals:
    void commandReceived(const QString& key);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FrmLoadInit();
    void SetupHotKeys();
    bool LoadItemColumns(int tab);
    void SearchPairs();
    bool FillPairRows();
    bool LoadRuleCells();
    // A read failed: the reason is shown and the tab's grid takes no edits until a search
    // reads it whole.
    void readFailed(int tab);
    // The save of "SaveRs"; on success the window returns to browsing.
    bool saveAndBrowse();
    void selectTab(int tab);
    void setGridEditable(bool editable);
    void setButtons(bool editing);
    void onCheckToggled(int tab, int row, int col);
    void markRow(int tab, int row);

    std::unique_ptr<Ui::FrmMakeVouchMain> ui;
    controls::HostToolbar* m_host;
    QTabBar* m_tabs;
    QStringList m_itemNames[2];
    bool m_gridEditable[2] = {false, false};
    bool m_unreadable[2] = {false, false};
    TableChoice m_source, m_target;
    int m_currentTab = HeaderTab;
    int m_editMode = Browse;
    bool m_changed = false;
    bool m_shownByItself = false;
    bool m_switching = false;
    bool m_shownOnce = false;
    // The filter texts each tab's rows were searched with; unset until the tab is searched.
    std::optional<QStringList> m_searchedWith[2];
    int m_exitCancel = 0;
};

}  // namespace carryover
