#pragma once
// The filter dialog: rows of column – operator – value, all of which must hold.
#include <QDialog>
#include <functional>
#include <memory>

#include "platform/filter/FilterColumns.h"
#include "platform/filter/FilterCondition.h"

namespace Ui {
class FilterDialog;
}
class QComboBox;
class QLineEdit;

namespace platform::filter {

class FilterDialog : public QDialog {
    Q_OBJECT
public:
    // text: the caption of a resource key in the user's language.
    FilterDialog(const QList<FilterColumn>& columns, std::function<QString(const QString&)> text,
                 QWidget* parent = nullptr);
    ~FilterDialog() override;

    int rowCount() const;
    // Appends an empty row (first column, "=") and returns its index.
    int addRow();
    void removeRow(int row);
    QComboBox* fieldBox(int row) const;
    QComboBox* operatorBox(int row) const;
    QLineEdit* valueEdit(int row) const;

    QList<FilterRow> rows() const;
    QString condition() const { return BuildCondition(rows()); }

private:
    std::unique_ptr<Ui::FilterDialog> ui;
    QList<FilterColumn> m_columns;
    std::function<QString(const QString&)> m_text;
};

}  // namespace platform::filter
