#pragma once
// The item catalogue: a tree of item classes, class option buttons, the grid of the selected
// class's items, the host toolbar, menus and a status bar. Every action goes through
// RunCommand(key, mode), fed by both toolbars, the menus, the hot keys and a double click.
//
// The window loads on its first show (or Load()). It is told at construction whether it lives in
// the portal's frame or runs as a modal window of its own.
#include <QList>
#include <QWidget>
#include <memory>

#include "host/RecordSet.h"

namespace Ui {
class FrmUserDef;
}
class QAction;
class QButtonGroup;
class QLabel;
class QRadioButton;
class QTreeWidgetItem;

namespace controls {
class Grid;
class HostToolbar;
class PrintControl;
}  // namespace controls

namespace catalogue {

class FrmUserDef : public QWidget {
    Q_OBJECT

public:
    // inPortal: hosted in the portal's frame. classCode: an item id whose class the first
    // listing selects (the caller's "classcode"); empty for none.
    explicit FrmUserDef(bool inPortal, const QString& classCode = {}, QWidget* parent = nullptr);
    ~FrmUserDef() override;

    const bool m_InPotal;

    // Builds the window: toolbars, grid, class tree (selecting the root lists every class),
    // option buttons. Runs once; the first show calls it.
    void Load();
    bool isLoaded() const { return m_loaded; }

    // Header and widths of the empty listing.
    void InitGrid();
    // Shows the records of a listing (the grid holds the record set); a listing without rows
    // leaves the header row only.
    void FillGrid(host::RecordSetPtr rs);
    // Closes the window; the portal's close. Closing releases the catalogue's function lock.
    Q_INVOKABLE void ExitForm();
    // The command entry; keys compare without regard to letter case. mode is the host
    // toolbar's second text, empty from every other source.
    Q_INVOKABLE void RunCommand(const QString& key, const QString& mode = {});

    // Prints ("Print"), previews ("Preview"), sets up the page of ("SetUp") or exports
    // ("SaveFile") the grid's rows through the print control, in the print style "UserDef".
    void PrintAll(const QString& mode, controls::Grid* grid, controls::PrintControl* prn);
    // The print data of the grid: title, account, user, date, visible columns and rows.
    QString WriteData(controls::Grid* grid) const;
    controls::PrintControl* printControl() const { return m_prn; }

    controls::Grid* grid() const;
    controls::HostToolbar* hostToolbar() const { return m_host; }
    // The item id whose class the first listing selects; empty once used.
    QString pendingClassCode() const { return m_classCode; }
    // The key of the selected tree node ("r" for the root, else the stored class value).
    QString selectedKey() const;
    // Selects the node of a key and runs the node-selected steps; false when no node has it.
    bool selectClass(const QString& key);
    // The text of the status bar's first panel.
    QString statusText() const;

signals:
    // Every command as it enters RunCommand.
    void commandReceived(const QString& key, const QString& mode);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SetupToolbar();
    void SetupMenus();
    void SetupHotKeys();
    void BuildTree();
    void BuildOptionButtons();
    void ApplyTexts();
    void NodeSelected(QTreeWidgetItem* node);
    void RefreshItemList();
    // Define and Add: opens the item editor modally on the class's items.
    void OpenEditor(bool adding);
    void UpdateArchiveButton();
    void ApplyPortalMenus();
    void SetHeaderAndWidths();
    void FitColumnsToContent();
    void MirrorMenus();
    // The value archive of the selected item (catalogue/OpenValueArchive.cpp).
    void OpenValueArchive();
    // Deletes the selected extended item (catalogue/DeleteItem.cpp).
    void DeleteItem();
    // Writes a package of the selected items, the class shown or everything
    // (catalogue/ExportPackage.cpp); the ids of the items the list has selected.
    void ExportPackage();
    QStringList selectedItemIds() const;
    QTreeWidgetItem* nodeOf(const QString& key) const;
    QAction* classicButton(const QString& key) const;
    bool isRootSelected() const;
    void releaseSessionLock();
    void SetupPrinting();
    void ShowAbout();
    void LoadWindowOptions();
    void ApplyWindowOptions();
    void WindowOption(const QString& key);

    std::unique_ptr<Ui::FrmUserDef> ui;
    controls::HostToolbar* m_host;
    controls::PrintControl* m_prn = nullptr;
    QLabel* m_statusPanel;
    QButtonGroup* m_optionGroup;
    QList<QRadioButton*> m_options;
    QList<int> m_baseWidths;  // twips per column: the header's width, at least 1500
    QString m_classCode;  // consumed by the first listing
    bool m_loaded = false;
    bool m_filling = false;
    bool m_lockReleased = false;
    bool m_selecting = false;
};

}  // namespace catalogue
