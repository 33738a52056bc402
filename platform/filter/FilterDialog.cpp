#include "platform/filter/FilterDialog.h"

#include <QComboBox>
#include <algorithm>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>

#include "ui_FilterDialog.h"

namespace platform::filter {

FilterDialog::FilterDialog(const QList<FilterColumn>& columns,
                           std::function<QString(const QString&)> text, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::FilterDialog>()),
      m_columns(columns),
      m_text(std::move(text)) {
    ui->setupUi(this);
    ui->LblHint->setText(m_text(QStringLiteral("Pub.Filter.Hint")));
    ui->GrdConditions->setHorizontalHeaderLabels({m_text(QStringLiteral("Pub.Filter.Column")),
                                                  m_text(QStringLiteral("Pub.Filter.Operator")),
                                                  m_text(QStringLiteral("Pub.Filter.Value"))});
    ui->GrdConditions->horizontalHeader()->setStretchLastSection(true);
    ui->GrdConditions->verticalHeader()->hide();
    ui->BtnAdd->setText(m_text(QStringLiteral("Pub.Filter.Add")));
    ui->BtnRemove->setText(m_text(QStringLiteral("Pub.Filter.Remove")));
    ui->BtnBox->button(QDialogButtonBox::Ok)->setText(m_text(QStringLiteral("Pub.Filter.Ok")));
    ui->BtnBox->button(QDialogButtonBox::Cancel)
        ->setText(m_text(QStringLiteral("Pub.Filter.Cancel")));
    connect(ui->BtnAdd, &QPushButton::clicked, this, [this] { addRow(); });
    connect(ui->BtnRemove, &QPushButton::clicked, this, [this] {
        removeRow(ui->GrdConditions->currentRow() >= 0 ? ui->GrdConditions->currentRow()
                                                       : rowCount() - 1);
    });
    connect(ui->BtnBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->BtnBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    addRow();
}

FilterDialog::~FilterDialog() = default;

int FilterDialog::rowCount() const { return ui->GrdConditions->rowCount(); }

int FilterDialog::addRow() {
    const int row = rowCount();
    ui->GrdConditions->insertRow(row);
    auto* field = new QComboBox;
    field->setObjectName(QStringLiteral("CmbField"));
    for (const FilterColumn& column : m_columns)
        field->addItem(m_text(column.captionKey), column.field);
    auto* op = new QComboBox;
    op->setObjectName(QStringLiteral("CmbOperator"));
    for (const FilterOp o : kFilterOps) op->addItem(m_text(FilterOpKey(o)), int(o));
    auto* value = new QLineEdit;
    value->setObjectName(QStringLiteral("EdtValue"));
    ui->GrdConditions->setCellWidget(row, 0, field);
    ui->GrdConditions->setCellWidget(row, 1, op);
    ui->GrdConditions->setCellWidget(row, 2, value);
    ui->GrdConditions->setCurrentCell(row, 2);
    // The column and operator choices show their longest entry whole.
    for (int c : {0, 1})
        ui->GrdConditions->setColumnWidth(
            c, std::max(ui->GrdConditions->columnWidth(c),
                        ui->GrdConditions->cellWidget(row, c)->sizeHint().width()));
    return row;
}

void FilterDialog::removeRow(int row) {
    if (row >= 0 && row < rowCount()) ui->GrdConditions->removeRow(row);
}

QComboBox* FilterDialog::fieldBox(int row) const {
    return qobject_cast<QComboBox*>(ui->GrdConditions->cellWidget(row, 0));
}

QComboBox* FilterDialog::operatorBox(int row) const {
    return qobject_cast<QComboBox*>(ui->GrdConditions->cellWidget(row, 1));
}

QLineEdit* FilterDialog::valueEdit(int row) const {
    return qobject_cast<QLineEdit*>(ui->GrdConditions->cellWidget(row, 2));
}

QList<FilterRow> FilterDialog::rows() const {
    QList<FilterRow> out;
    for (int r = 0; r < rowCount(); ++r) {
        const QComboBox* field = fieldBox(r);
        const QComboBox* op = operatorBox(r);
        const QLineEdit* value = valueEdit(r);
        if (!field || !op || !value || field->currentIndex() < 0) continue;
        out << FilterRow{field->currentData().toString(), FilterOp(op->currentData().toInt()),
                         value->text()};
    }
    return out;
}

}  // namespace platform::filter
