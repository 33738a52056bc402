#include "app/PackagesView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/DeskTexts.h"
#include "app/PackageRun.h"
#include "common/NameTables.h"
#include "platform/db/Database.h"
#include "platform/package/PackageAccount.h"
#include "platform/package/PackageDiff.h"
#include "platform/package/PackageReader.h"
#include "platform/package/PackageWriter.h"
#include "platform/pub/Prompter.h"
#include "platform/server/ClsCommon.h"
#include "platform/sql/TSqlConnection.h"

namespace app {

namespace pkg = platform::package;

namespace {

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QString changeLine(const pkg::FieldChange& c) {
    return QStringLiteral("%1: \"%2\" → \"%3\"").arg(c.field, c.before, c.after);
}

}  // namespace

PackagesView::PackagesView(const QString& root, const QString& account, const QString& user,
                           const QString& language,
                           std::shared_ptr<platform::pub::IPrompter> prompter, QWidget* parent)
    : QWidget(parent),
      m_root(root),
      m_account(account),
      m_user(user),
      m_language(language),
      m_prompter(std::move(prompter)),
      m_file(named(new QLineEdit(this), "EdtFile")),
      m_class(named(new QComboBox(this), "CmbClass")),
      m_removeMissing(named(new QCheckBox(this), "ChkRemoveMissing")),
      m_tree(named(new QTreeWidget(this), "TreeChanges")),
      m_message(named(new QLabel(this), "LblMessage")) {
    setWindowTitle(text("Desk.Packages.Title"));
    m_class->addItem(text("Desk.Packages.AllClasses"));
    platform::server::ClsCommon srv;
    QString error;
    if (openAccountService(m_root, m_account, srv, &error)) {
        const host::RecordSetPtr classes =
            srv.OpenX(QStringLiteral("SELECT DISTINCT cClass FROM UserDef_Base ORDER BY cClass"));
        // Each class by its name in the session's language; the stored name is the choice.
        for (int r = 0; classes && r < classes->recordCount(); ++r) {
            const QString stored = classes->textAt(r, 0);
            const int known = int(userdef::classKeys().indexOf(stored.toLower()));
            m_class->addItem(known < 0 ? stored
                                       : deskText(m_language, userdef::classTextKeys().at(known)),
                             stored);
        }
    }
    m_removeMissing->setText(text("Desk.Packages.RemoveMissing"));
    m_tree->setHeaderHidden(true);
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(text("Desk.Packages.File"), this));
    fileRow->addWidget(m_file, 1);
    auto* buttons = new QHBoxLayout;
    const auto button = [&](QBoxLayout* row, const char* name, const char* key,
                            void (PackagesView::*command)()) {
        auto* b = named(new QPushButton(text(key), this), name);
        connect(b, &QPushButton::clicked, this, command);
        row->addWidget(b);
    };
    button(fileRow, "BtnBrowse", "Desk.Packages.Browse", &PackagesView::browse);
    buttons->addWidget(m_class);
    button(buttons, "BtnExport", "Desk.Packages.Export", &PackagesView::exportPackage);
    button(buttons, "BtnCompare", "Desk.Packages.Compare", &PackagesView::compare);
    buttons->addWidget(m_removeMissing);
    button(buttons, "BtnImport", "Desk.Packages.Import", &PackagesView::importPackage);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addLayout(buttons);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_message);
    if (!error.isEmpty()) say(error, true);
}

QString PackagesView::text(const char* key, const QStringList& values) const {
    return deskText(m_language, QString::fromLatin1(key), values);
}

QString PackagesView::messageText() const { return m_message->text(); }

void PackagesView::say(const QString& message, bool refusal) {
    m_message->setText(message);
    m_message->setStyleSheet(refusal ? QStringLiteral("color: #b00020;") : QString());
}

void PackagesView::browse() {
    const QString file = QFileDialog::getSaveFileName(
        this, text("Desk.Packages.File"), m_file->text(), QStringLiteral("*.xml"), nullptr,
        QFileDialog::DontConfirmOverwrite);
    if (!file.isEmpty()) m_file->setText(file);
}

void PackagesView::exportPackage() {
    const QString file = m_file->text().trimmed();
    if (file.isEmpty()) return say(text("Desk.Packages.NoFile"), true);
    platform::server::ClsCommon srv;
    QString error;
    pkg::Selection selection;
    if (m_class->currentIndex() > 0) {
        selection.scope.kind = pkg::PackageScope::Classes;
        selection.scope.classes << m_class->currentData().toString();
    }
    pkg::Package package;
    if (!openAccountService(m_root, m_account, srv, &error) ||
        !pkg::readAccount(srv.connection()->database(), selection, &package, &error) ||
        !pkg::savePackage(package, file, &error))
        return say(error, true);
    say(text("Desk.Packages.Exported", {QString::number(package.items.size()),
                                        QString::number(package.rules.size()), file}),
        false);
}

void PackagesView::compare() {
    const QString file = m_file->text().trimmed();
    if (file.isEmpty()) return say(text("Desk.Packages.NoFile"), true);
    platform::server::ClsCommon srv;
    pkg::Package package;
    pkg::PackageComparison comparison;
    QString error;
    m_tree->clear();
    if (!pkg::loadPackage(file, &package, &error) ||
        !openAccountService(m_root, m_account, srv, &error) ||
        !pkg::comparePackage(srv.connection()->database(), package, &comparison, &error))
        return say(error, true);
    show(comparison);
    say(text("Desk.Packages.Compared", {file}), false);
}

QTreeWidgetItem* PackagesView::group(const char* key, int count) {
    auto* item = new QTreeWidgetItem(m_tree, {text(key, {QString::number(count)})});
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    return item;
}

void PackagesView::show(const pkg::PackageComparison& c) {
    m_tree->clear();
    QList<const pkg::ItemDiff*> kinds[4];
    for (const pkg::ItemDiff& d : c.items) kinds[int(d.kind)] << &d;
    const char* const groupKeys[] = {"Desk.Packages.New", "Desk.Packages.Changed",
                                     "Desk.Packages.Unchanged", "Desk.Packages.OnlyInAccount"};
    for (int k = 0; k < 4; ++k) {
        QTreeWidgetItem* top = group(groupKeys[k], k == 2 ? c.unchanged : int(kinds[k].size()));
        for (const pkg::ItemDiff* d : kinds[k]) {
            auto* item = new QTreeWidgetItem(
                top, {d->column.isEmpty() ? d->title()
                                          : QStringLiteral("%1 (%2)").arg(d->title(), d->column)});
            for (const pkg::FieldChange& f : d->fields) new QTreeWidgetItem(item, {changeLine(f)});
            for (const QString& t : d->tablesAdded)
                new QTreeWidgetItem(item, {text("Desk.Packages.TableAdded", {t, d->column})});
            for (const pkg::TableDrop& t : d->tablesDropped)
                new QTreeWidgetItem(item, {text("Desk.Packages.TableDropped",
                                                {t.table, d->column, QString::number(t.rows)})});
            for (const pkg::ValueDiff& v : d->values) {
                if (d->kind == pkg::Change::New) break;
                const char* key = v.kind == pkg::Change::New       ? "Desk.Packages.ValueNew"
                                  : v.kind == pkg::Change::Changed ? "Desk.Packages.ValueChanged"
                                  : v.rows < 0                     ? "Desk.Packages.ValueGone"
                                                                   : "Desk.Packages.ValueGoneRows";
                auto* value = new QTreeWidgetItem(item, {text(key, {v.value, QString::number(v.rows)})});
                for (const pkg::FieldChange& f : v.fields) new QTreeWidgetItem(value, {changeLine(f)});
            }
            if (d->kind == pkg::Change::New && !d->values.isEmpty())
                new QTreeWidgetItem(item, {text("Desk.Packages.Values", {QString::number(d->values.size())})});
        }
        top->setExpanded(k != 2);
    }
    QTreeWidgetItem* rules = group("Desk.Packages.Rules", int(c.rules.size()));
    const char* const signs[] = {"+", "~", "=", "-"};
    for (const pkg::RuleDiff& r : c.rules) {
        auto* rule = new QTreeWidgetItem(
            rules, {QLatin1String(signs[int(r.kind)]) + QLatin1Char(' ') + pkg::ruleTitle(r.rule)});
        for (const pkg::FieldChange& f : r.fields) new QTreeWidgetItem(rule, {changeLine(f)});
    }
    rules->setExpanded(true);
    m_tree->expandAll();
}

void PackagesView::importPackage() {
    const QString file = m_file->text().trimmed();
    if (file.isEmpty()) return say(text("Desk.Packages.NoFile"), true);
    platform::server::ClsCommon srv;
    pkg::Package package;
    QString error;
    if (!pkg::loadPackage(file, &package, &error) ||
        !openAccountService(m_root, m_account, srv, &error))
        return say(error, true);
    const bool removing = m_removeMissing->isChecked();
    if (removing) {
        // What would go, asked first: the comparison's removals, with the data they take.
        pkg::PackageComparison comparison;
        if (!pkg::comparePackage(srv.connection()->database(), package, &comparison, &error))
            return say(error, true);
        show(comparison);
        int items = 0, values = 0, rules = 0, rows = 0;
        for (const pkg::ItemDiff& d : comparison.items) {
            items += d.kind == pkg::Change::OnlyInAccount;
            for (const pkg::TableDrop& t : d.tablesDropped) rows += qMax(0, t.rows);
            for (const pkg::ValueDiff& v : d.values) values += v.kind == pkg::Change::OnlyInAccount;
        }
        for (const pkg::RuleDiff& r : comparison.rules) rules += r.kind == pkg::Change::OnlyInAccount;
        if (items + values + rules + rows > 0 &&
            m_prompter->ask(text("Desk.Packages.ConfirmRemove",
                                 {QString::number(items), QString::number(values),
                                  QString::number(rules), QString::number(rows)}),
                            4 + 48, windowTitle()) != 6)
            return say(text("Desk.Packages.NothingImported"), false);
    }
    pkg::ImportResult result;
    if (!importWithLocks(srv, m_user, QStringLiteral("PackagesView"), package,
                         {false, removing}, &result, &error))
        return say(error, true);
    QString message = text("Desk.Packages.Imported", {QString::number(result.documents)});
    for (const QString& note : result.notes) message += QLatin1Char('\n') + note;
    pkg::PackageComparison after;
    if (pkg::comparePackage(srv.connection()->database(), package, &after, &error)) show(after);
    say(message, false);
}

}  // namespace app
