#include "history/FrmHistory.h"

#include <QPushButton>
#include <QSplitter>

#include "common/Globals.h"
#include "common/ResText.h"
#include "common/ShowMsg.h"
#include "controls/Grid.h"
#include "ui_FrmHistory.h"

namespace history {

namespace {

QString text(const char* key) { return userdef::ResText(key); }

enum Col { ColChange, ColWhen, ColUser, ColOrigin, ColOperation, ColTable, ColKey, ColState, ColCount };

}  // namespace

FrmHistory::FrmHistory(const QString& itemId, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmHistory>()), m_itemId(itemId.trimmed()) {
    ui->setupUi(this);
    setProperty("helpTopic", QStringLiteral("History"));
    setWindowTitle(m_itemId.isEmpty() ? text("Q9.AA.USERDEF.FrmHistory.Form.Caption")
                                      : text("Q9.AA.USERDEF.FrmHistory.Form.ItemCaption").arg(m_itemId));
    ui->CmdUndo->setText(text("Q9.AA.USERDEF.FrmHistory.Button.Undo"));
    ui->CmdHelp->setText(text("Q9.AA.USERDEF.FrmHistory.Button.Help"));
    ui->CmdClose->setText(text("Q9.AA.USERDEF.FrmHistory.Button.Close"));
    ui->Splitter->setSizes({330, 170});
    controls::Grid* grid = ui->GrdChanges;
    grid->setCols(ColCount);
    const char* const headers[] = {
        "Q9.AA.USERDEF.FrmHistory.Col.Change", "Q9.AA.USERDEF.FrmHistory.Col.When",
        "Q9.AA.USERDEF.FrmHistory.Col.User",   "Q9.AA.USERDEF.FrmHistory.Col.Origin",
        "Q9.AA.USERDEF.FrmHistory.Col.Operation", "Q9.AA.USERDEF.FrmHistory.Col.Table",
        "Q9.AA.USERDEF.FrmHistory.Col.Key",    "Q9.AA.USERDEF.FrmHistory.Col.State"};
    const int widths[] = {700, 2200, 1000, 1600, 1100, 1800, 1800, 1800};
    for (int c = 0; c < ColCount; ++c) {
        grid->setText(0, c, text(headers[c]));
        grid->setColWidth(c, widths[c]);
    }
    if (userdef::g_Pub) userdef::g_Pub->FrmUniteFont(this);
    connect(grid, &controls::Grid::currentRowChanged, this, &FrmHistory::showDiff);
    connect(ui->CmdUndo, &QPushButton::clicked, this, [this] { RunCommand(QStringLiteral("Undo")); });
    connect(ui->CmdHelp, &QPushButton::clicked, this, [this] { RunCommand(QStringLiteral("Help")); });
    connect(ui->CmdClose, &QPushButton::clicked, this, [this] { RunCommand(QStringLiteral("Exit")); });
    Refresh();
}

FrmHistory::~FrmHistory() = default;

void FrmHistory::RunCommand(const QString& key) {
    const auto is = [&key](const char* name) {
        return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (is("Undo"))
        Undo();
    else if (is("Refresh"))
        Refresh();
    else if (is("Help") && userdef::g_Pub)
        userdef::g_Pub->HelpShow(this, QStringLiteral("Help"));
    else if (is("Exit"))
        reject();
}

bool FrmHistory::Refresh() {
    controls::Grid* grid = ui->GrdChanges;
    grid->setRows(1);
    m_diffs.clear();
    ui->TxtDiff->clear();
    const host::RecordSetPtr rs =
        userdef::g_SrvDB ? userdef::g_SrvDB->OpenHistory(m_itemId) : nullptr;
    if (!rs) {
        ui->LblCount->setText(userdef::g_SrvDB ? userdef::g_SrvDB->lastError() : QString());
        ui->CmdUndo->setEnabled(false);
        return false;
    }
    static const QHash<QString, const char*> operations = {
        {"Add", "Q9.AA.USERDEF.FrmHistory.Operation.Add"},
        {"Modify", "Q9.AA.USERDEF.FrmHistory.Operation.Modify"},
        {"Delete", "Q9.AA.USERDEF.FrmHistory.Operation.Delete"},
        {"Undo", "Q9.AA.USERDEF.FrmHistory.Operation.Undo"}};
    grid->setRedraw(false);
    grid->setRows(rs->recordCount() + 1);
    for (int r = 0; r < rs->recordCount(); ++r) {
        const QString operation = rs->textAt(r, rs->fieldIndex(QStringLiteral("cOperation")));
        QString state;
        if (!rs->isNullAt(r, rs->fieldIndex(QStringLiteral("iUndoneBy"))))
            state = text("Q9.AA.USERDEF.FrmHistory.State.UndoneBy")
                        .arg(rs->textAt(r, rs->fieldIndex(QStringLiteral("iUndoneBy"))));
        else if (!rs->isNullAt(r, rs->fieldIndex(QStringLiteral("iUndoOf"))))
            state = text("Q9.AA.USERDEF.FrmHistory.State.UndoOf").arg(rs->textAt(r, rs->fieldIndex(QStringLiteral("iUndoOf"))));
        const QString cells[] = {rs->textAt(r, rs->fieldIndex(QStringLiteral("iChange"))),
                                 rs->textAt(r, rs->fieldIndex(QStringLiteral("dWhen"))),
                                 rs->textAt(r, rs->fieldIndex(QStringLiteral("cUserId"))),
                                 rs->textAt(r, rs->fieldIndex(QStringLiteral("cOrigin"))),
                                 operations.contains(operation) ? text(operations.value(operation))
                                                                : operation,
                                 rs->textAt(r, rs->fieldIndex(QStringLiteral("cTable"))),
                                 rs->textAt(r, rs->fieldIndex(QStringLiteral("cKey"))),
                                 state};
        for (int c = 0; c < ColCount; ++c) grid->setText(r + 1, c, cells[c]);
        m_diffs << rs->textAt(r, rs->fieldIndex(QStringLiteral("cDiff")));
    }
    grid->setRedraw(true);
    ui->LblCount->setText(text("Q9.AA.USERDEF.FrmHistory.Count").arg(rs->recordCount()));
    if (rs->recordCount() > 0) grid->setCurrentRow(rs->recordCount());
    showDiff(rs->recordCount());
    return true;
}

int FrmHistory::changeAt(int row) const {
    return row >= 1 && row < ui->GrdChanges->rows()
               ? ui->GrdChanges->text(row, ColChange).toInt()
               : 0;
}

void FrmHistory::showDiff(int row) {
    ui->TxtDiff->setPlainText(row >= 1 ? m_diffs.value(row - 1) : QString());
    ui->CmdUndo->setEnabled(changeAt(row) > 0 && ui->GrdChanges->text(row, ColState).isEmpty());
}

void FrmHistory::Undo() {
    using userdef::g_Pub;
    using userdef::g_SrvDB;
    const int change = changeAt(ui->GrdChanges->currentRow());
    if (!change || !g_SrvDB || !g_Pub) return;
    if (g_Pub->MsgBox(text("Q9.AA.USERDEF.FrmHistory.Ask.Undo").arg(change), host::MsgButtons::YesNoQuestion,
                      windowTitle()) != host::MsgAnswer::Yes)
        return;
    QString error;
    if (!g_SrvDB->Undo(change, &error)) {
        userdef::ShowMsg(error);
        return;
    }
    Refresh();
    emit changed();
}

}  // namespace history
