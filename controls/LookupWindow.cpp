#include "controls/LookupWindow.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "controls/LookupModel.h"
#include "controls/Twips.h"

namespace controls {

// Keeps the rows whose search text holds the filter text; sorts by the raw values.
class LookupFilterProxy : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setNeedle(const QString& text) {
        const QString needle = text.toLower();
        if (needle == m_needle) return;
        m_needle = needle;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex&) const override {
        return static_cast<const LookupModel*>(sourceModel())->rowMatches(row, m_needle);
    }

private:
    QString m_needle;
};

namespace {
LookupTexts& currentTexts() {
    static LookupTexts texts;
    return texts;
}
}  // namespace

const LookupTexts& LookupWindow::texts() { return currentTexts(); }
void LookupWindow::setTexts(const LookupTexts& texts) { currentTexts() = texts; }

LookupWindow::LookupWindow(QWidget* parent)
    : QDialog(parent),
      m_model(new LookupModel(this)),
      m_proxy(new LookupFilterProxy(this)),
      m_filter(new QLineEdit(this)),
      m_view(new QTableView(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName(QStringLiteral("LookupWindow"));
    m_filter->setObjectName(QStringLiteral("filterEdit"));
    m_view->setObjectName(QStringLiteral("lookupView"));
    m_filter->setClearButtonEnabled(true);
    m_filter->setPlaceholderText(texts().filter);
    m_buttons->button(QDialogButtonBox::Ok)->setText(texts().ok);
    m_buttons->button(QDialogButtonBox::Cancel)->setText(texts().cancel);
    setWindowTitle(texts().title);

    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(LookupModel::SortRole);
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setDynamicSortFilter(false);  // the rows never change while the window is open
    m_view->setModel(m_proxy);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The data source's order until the user clicks a header.
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->setSortingEnabled(true);
    m_view->setWordWrap(false);
    m_view->setAlternatingRowColors(true);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->horizontalHeader()->setDefaultSectionSize(twipsToPixels(1500));

    for (QAbstractButton* b : m_buttons->buttons())
        if (auto* push = qobject_cast<QPushButton*>(b)) {
            push->setAutoDefault(false);
            push->setDefault(false);
        }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_buttons);
    resize(520, 420);

    m_filter->installEventFilter(this);
    m_view->installEventFilter(this);
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_proxy->setNeedle(text);
        makeFirstRowCurrent();
    });
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
        if (i.isValid()) choose();
    });
    connect(m_buttons, &QDialogButtonBox::accepted, this, &LookupWindow::choose);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [this](int result) {
        m_choice = result == QDialog::Accepted ? selectedRows() : nullptr;
    });
    setFocusProxy(m_filter);
    m_filter->setFocus();
}

LookupWindow::~LookupWindow() = default;

void LookupWindow::setRows(host::RecordSetPtr rows, const QVector<RefColumn>& columns,
                           const QStringList& searchFields) {
    m_choice.reset();
    m_filter->blockSignals(true);
    m_filter->clear();
    m_filter->blockSignals(false);
    m_proxy->setNeedle({});
    m_model->setRows(std::move(rows), columns, searchFields);
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_proxy->sort(-1);
    applyColumnWidths();
    makeFirstRowCurrent();
}

void LookupWindow::setMultiSelect(bool on) {
    m_multi = on;
    m_view->setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                                : QAbstractItemView::SingleSelection);
}

QString LookupWindow::filterText() const { return m_filter->text(); }

void LookupWindow::setFilterText(const QString& text) { m_filter->setText(text); }

int LookupWindow::visibleRowCount() const { return m_proxy->rowCount(); }

QString LookupWindow::visibleText(int row, int column) const {
    return m_proxy->index(row, column).data().toString();
}

void LookupWindow::sortByColumn(int column, Qt::SortOrder order) {
    m_view->sortByColumn(column, order);
}

void LookupWindow::applyColumnWidths() {
    // Columns without a width of their own fit their first rows' texts.
    m_view->horizontalHeader()->setResizeContentsPrecision(200);
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int twips = m_model->widthTwipsOfColumn(c);
        if (twips > 0)
            m_view->setColumnWidth(c, twipsToPixels(twips));
        else
            m_view->resizeColumnToContents(c);
    }
}

void LookupWindow::makeFirstRowCurrent() {
    if (m_proxy->rowCount() == 0) {
        m_view->selectionModel()->clear();
        return;
    }
    const QModelIndex first = m_proxy->index(0, 0);
    m_view->selectionModel()->setCurrentIndex(
        first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(first);
}

QVector<int> LookupWindow::chosenSourceRows() const {
    QVector<int> proxyRows;
    if (m_multi)
        for (const QModelIndex& i : m_view->selectionModel()->selectedRows())
            proxyRows.append(i.row());
    if (proxyRows.isEmpty()) {
        const QModelIndex current = m_view->currentIndex();
        if (current.isValid())
            proxyRows.append(current.row());
        else if (m_proxy->rowCount() == 1)
            proxyRows.append(0);
    }
    std::sort(proxyRows.begin(), proxyRows.end());
    QVector<int> sourceRows;
    for (int r : proxyRows) sourceRows.append(m_proxy->mapToSource(m_proxy->index(r, 0)).row());
    return sourceRows;
}

host::RecordSetPtr LookupWindow::selectedRows() const {
    return m_model->recordsOf(chosenSourceRows());
}

host::RecordSetPtr LookupWindow::choice() const { return m_choice; }

void LookupWindow::choose() {
    if (chosenSourceRows().isEmpty()) return;
    accept();
}

bool LookupWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            choose();
            return true;
        case Qt::Key_Escape:
            reject();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            if (watched == m_filter && ((key->key() != Qt::Key_Home && key->key() != Qt::Key_End) ||
                                        key->modifiers() & Qt::ControlModifier)) {
                // The filter line keeps the focus; the list moves.
                QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
                QCoreApplication::sendEvent(m_view, &copy);
                return true;
            }
            break;
        default:
            if (watched == m_view && !key->text().isEmpty() && key->text().at(0).isPrint() &&
                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                // Typing in the list goes on in the filter line.
                m_filter->setFocus();
                m_filter->insert(key->text());
                return true;
            }
            break;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace controls
