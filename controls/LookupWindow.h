#pragma once
// The look-up window of a RefEdit: a filter line over a sortable list of records.
//
// Typing filters as you type (case-insensitive, any shown column or search field contains the
// text); Up/Down/PageUp/PageDown and Ctrl+Home/End in the filter line move in the list (the
// current row stays on its record when the list is sorted); Enter (in the filter line
// or the list), a double click or the OK button chooses; Escape or Cancel closes with nothing.
// Choosing with no row current takes the only row left, if the filter left exactly one.
// The window never runs itself: its opener shows it (exec, a window host, or a test driving
// its widgets) and reads choice() afterwards.
#include <QDialog>
#include <QVector>

#include "controls/RefDefinition.h"
#include "host/RecordSet.h"

class QLineEdit;
class QTableView;
class QSortFilterProxyModel;
class QDialogButtonBox;

namespace controls {

class LookupModel;
class LookupFilterProxy;

// The window's own texts, in the session's language (English until set).
struct LookupTexts {
    QString title = QStringLiteral("Look up");
    QString filter = QStringLiteral("Filter");
    QString ok = QStringLiteral("OK");
    QString cancel = QStringLiteral("Cancel");
    QString button = QStringLiteral("Look up (F2)");
};

class LookupWindow : public QDialog {
    Q_OBJECT

public:
    static const LookupTexts& texts();
    static void setTexts(const LookupTexts& texts);

    explicit LookupWindow(QWidget* parent = nullptr);
    ~LookupWindow() override;

    // See LookupModel::setRows. The filter is emptied; the first row becomes current.
    void setRows(host::RecordSetPtr rows, const QVector<RefColumn>& columns = {},
                 const QStringList& searchFields = {});
    void setMultiSelect(bool on);  // several rows may be chosen (extended selection)
    bool multiSelect() const { return m_multi; }

    QString filterText() const;
    void setFilterText(const QString& text);
    int visibleRowCount() const;                     // rows left by the filter
    QString visibleText(int row, int column) const;  // text of a row as shown (sorted, filtered)
    void sortByColumn(int column, Qt::SortOrder order);

    // The rows chosen so far (selected rows, else the current one), in list order, with every
    // field of the data source; an empty record set when none.
    host::RecordSetPtr selectedRows() const;
    // After the window closed: the chosen rows when it was accepted, null otherwise.
    host::RecordSetPtr choice() const;

    QLineEdit* filterEdit() const { return m_filter; }
    QTableView* view() const { return m_view; }
    LookupModel* lookupModel() const { return m_model; }

public slots:
    void choose();  // accepts with the selected rows; does nothing when there are none

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QVector<int> chosenSourceRows() const;
    void applyColumnWidths();
    void makeFirstRowCurrent();

    LookupModel* m_model;
    LookupFilterProxy* m_proxy;
    QLineEdit* m_filter;
    QTableView* m_view;
    QDialogButtonBox* m_buttons;
    bool m_multi = false;
    host::RecordSetPtr m_choice;
};

}  // namespace controls
