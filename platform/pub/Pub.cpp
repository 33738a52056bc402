#include "platform/pub/Pub.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QMetaObject>
#include <QRegularExpression>
#include <QUuid>
#include <QWidget>

#include "host/IClsCommon.h"
#include "host/IConnection.h"
#include "host/ILogin.h"
#include "platform/pub/FunctionLocks.h"
#include "platform/pub/GridHelpers.h"
#include "platform/pub/HelpWindow.h"
#include "platform/pub/MessageBoxPrompter.h"
#include "platform/pub/PrintData.h"
#include "platform/pub/PubLog.h"
#include "platform/pub/ResourceTexts.h"
#include "platform/sql/ConnectionText.h"

namespace platform::pub {

Pub::Pub(std::shared_ptr<IPrompter> prompter, const QString& languageRegion)
    : m_prompter(prompter ? std::move(prompter) : std::make_shared<MessageBoxPrompter>()),
      m_language(normalizeLanguage(languageRegion)),
      m_locks(std::make_unique<FunctionLocks>(QUuid::createUuid().toString(QUuid::WithoutBraces))) {}

Pub::~Pub() {
    if (m_help) delete m_help.data();
}

QString Pub::sessionId() const { return m_locks->sessionId(); }

void Pub::setLogin(const host::ILogin& login) {
    setLanguage(login.LanguageRegion());
    m_userId = login.cUserId();
}

void Pub::setLanguage(const QString& languageRegion) {
    const QString language = normalizeLanguage(languageRegion);
    if (language == m_language) return;
    m_language = language;
    m_texts.reset();
}

ResourceTexts& Pub::texts() {
    if (!m_texts) m_texts = std::make_unique<ResourceTexts>(m_language);
    return *m_texts;
}

QString Pub::GetResString(const QString& key) { return texts().text(key); }

QString Pub::GetResFormatString(const QString& key, const QStringList& values) {
    return formatText(texts().text(key), values);
}

int Pub::MsgBox(const QString& text, int buttons, const QString& title) {
    return m_prompter->ask(text, buttons, title);
}

bool Pub::isSaveRs(QWidget* window) {
    if (!window || !window->property("dirty").toBool()) return true;
    // A window may add a line about what a save would also do ("saveNote").
    QString question = GetResString(QStringLiteral("Q9.AAARCHIVE.COMMON.savearch_ornot"));
    if (const QString note = window->property("saveNote").toString(); !note.isEmpty())
        question += QLatin1Char('\n') + note;
    const int answer = MsgBox(question,
                              host::MsgButtons::YesNoQuestion,
                              GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.exclamation")));
    if (answer != host::MsgAnswer::Yes) return true;
    bool saved = false;
    if (!QMetaObject::invokeMethod(window, "SaveRs", Qt::DirectConnection,
                                   Q_RETURN_ARG(bool, saved))) {
        qCWarning(lcPub) << "isSaveRs:" << window->metaObject()->className()
                         << "has no invokable bool SaveRs()";
        return false;
    }
    return saved;
}

QString Pub::GetRptArchSQL(const QString& columns) {
    // The column list comes from the caller's code; anything but plain names is refused.
    static const QRegularExpression plainList(
        QStringLiteral("^\\s*[A-Za-z_][A-Za-z0-9_]*(\\s*,\\s*[A-Za-z_][A-Za-z0-9_]*)*\\s*$"));
    if (!plainList.match(columns).hasMatch()) {
        qCWarning(lcPub) << "GetRptArchSQL: not a plain column list:" << columns;
        return {};
    }
    // The archives of the "AS" system that the report dictionary lists with their fields.
    return QStringLiteral("select ") + columns.trimmed() +
           QStringLiteral(" from Rpt_GRPDef where SystemId='AS' and TableName in (select "
                          "TableName from Rpt_GRPDef_Item where SystemId='AS') Order by "
                          "TableDefine, SystemId, TableName");
}

QColor Pub::MustInputColor() const { return QColor(0xFF, 0xF2, 0xCC); }
QColor Pub::UnEditedColor() const { return QColor(0xE6, 0xE6, 0xE6); }

QString Pub::uniteFontFamily() {
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const char* wanted : {"Noto Sans CJK SC", "Noto Sans SC", "Source Han Sans SC",
                                   "WenQuanYi Micro Hei", "Droid Sans Fallback"})
            if (families.contains(QLatin1String(wanted))) return QString::fromLatin1(wanted);
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

void Pub::FrmUniteFont(QWidget* window) {
    if (!window) return;
    QFont font = window->font();
    font.setFamily(uniteFontFamily());
    font.setPointSize(10);
    window->setFont(font);
}

void Pub::FormatGrid(host::IGrid* grid, const host::RecordSet& fields, const QString& alignXml) {
    if (!grid) return;
    formatGrid(*grid, fields, alignXml);
}

void Pub::SetGridRow(host::IGrid* grid, const QString& text, const QString& columnCaption, int row,
                     int topRow) {
    if (!grid) return;
    const int target = text.isEmpty() ? row : findRow(*grid, columnCaption, text);
    if (target < 1 || target >= grid->rows()) return;
    grid->setCurrentRow(target);
    // A remembered position restores its top row too; a row found by text is only scrolled to.
    if (text.isEmpty() && topRow >= 1 && topRow < grid->rows()) grid->setTopRow(topRow);
}

void Pub::GridSort(host::IGrid* grid, int col, Qt::SortOrder order) {
    if (!grid) return;
    if (col < 0) col = grid->currentCol();
    if (col < 0 || col >= grid->cols()) return;
    grid->sort(col, order);
}

void Pub::GridSortNew(host::IGrid* grid, const QString& menuKey) {
    if (menuKey.endsWith(QLatin1String("desc"), Qt::CaseInsensitive))
        GridSort(grid, -1, Qt::DescendingOrder);
    else if (menuKey.endsWith(QLatin1String("asc"), Qt::CaseInsensitive))
        GridSort(grid, -1, Qt::AscendingOrder);
}

bool Pub::FindPos(QWidget* window, host::IGrid* grid) {
    if (!grid) return false;
    const std::optional<QString> text = m_prompter->askText(
        GetResString(QStringLiteral("Pub.FindPos.Prompt")),
        GetResString(QStringLiteral("Pub.FindPos.Title")), m_lastFind);
    if (!text || text->isEmpty()) return false;
    m_lastFind = *text;
    const int row = findNextRow(*grid, *text, grid->currentRow());
    if (row == 0) {
        MsgBox(GetResFormatString(QStringLiteral("Pub.FindPos.NotFound"), {*text}),
               host::MsgButtons::Information, GetResString(QStringLiteral("Pub.FindPos.Title")));
        return false;
    }
    grid->setCurrentRow(row);
    return true;
}

void Pub::HelpX(const QString& topic, QWidget* window) {
    // A modal window blocks every window but its own: help asked for while one runs becomes a
    // window of that one, usable beside it, and goes away with it.
    QWidget* modal = QApplication::activeModalWidget();
    if (!m_help || m_help->parentWidget() != modal) {
        delete m_help.data();
        m_help = new HelpWindow(modal);
        m_help->setFindHint(GetResString(QStringLiteral("Pub.Help.Find")));
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            QObject::connect(dialog, &QDialog::finished, m_help.data(), &QWidget::close);
    }
    if (!m_help->showTopic(topic, m_language)) {
        MsgBox(GetResFormatString(QStringLiteral("Pub.Help.NoPage"), {topic}),
               host::MsgButtons::Information,
               GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.information")));
        return;
    }
    if (window) m_help->setFont(window->font());
    if (!m_help->isVisible()) m_help->placeBeside(window ? window->window() : modal);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();  // the keys go to the help the user asked for
}

void Pub::HelpShow(QWidget* window, const QString& commandKey) {
    if (!window || commandKey.compare(QLatin1String("Help"), Qt::CaseInsensitive) != 0) return;
    const QString topic = window->property("helpTopic").toString();
    if (!topic.isEmpty()) HelpX(topic, window);
}

void Pub::HelpHide() {
    if (m_help) m_help->hide();
}

HelpWindow* Pub::helpWindow() const { return m_help.data(); }

QVector<host::FieldInfo> Pub::GetTypeSize(const host::RecordSet& fields) {
    return typeSizes(fields);
}

QString Pub::GetData(host::IGrid* grid, const QString& title, const QString& accountId,
                     const QString& userId, const QString& userName) {
    if (!grid) return {};
    return printData(*grid, {title, accountId, userId, userName,
                             GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.yes"))});
}

void Pub::PrintMsg(int count, const QString& printKey) {
    const QString text =
        count < 0 ? GetResString(QStringLiteral("Pub.Export.Failed"))
                  : GetResFormatString(QStringLiteral("Pub.Export.Count"), {QString::number(count)});
    MsgBox(text, host::MsgButtons::Information,
           GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.information")));
}

namespace {

// Where a service or login keeps its function locks: an account database file, or a server
// database and the account's data schema there; an empty path when none.
struct LockPlace {
    QString path, schema;
};

LockPlace lockPlaceOf(host::IConnection* connection) {
    host::ILockStore* store = connection ? connection->lockStore() : nullptr;
    return store ? LockPlace{store->lockDatabase(), store->lockSchema()} : LockPlace{};
}

LockPlace accountLockPlace(host::IClsCommon* srv, host::ILogin* login) {
    if (srv)
        if (LockPlace place = lockPlaceOf(srv->m_cnn()); !place.path.isEmpty()) return place;
    if (login) {
        if (LockPlace place = lockPlaceOf(login->ZxCurrentDb()); !place.path.isEmpty())
            return place;
        // A server account's connection text opens its locks as it stands.
        if (auto text = sql::ConnectionText::parse(login->ZxDbName()))
            return {text->server.isEmpty() ? text->dataSource : login->ZxDbName(), {}};
    }
    return {};
}

host::IPrintStyleStore* printStylesOf(host::IClsCommon* srv) {
    host::IConnection* connection = srv ? srv->m_cnn() : nullptr;
    return connection ? connection->printStyleStore() : nullptr;
}

}  // namespace

bool Pub::IsLockFun(host::IClsCommon* srv, host::ILogin* login, const QString& function, int mode,
                    bool recordLock, const QString& recordKey) {
    Q_UNUSED(recordLock)  // the mode says whether a lock is a record lock
    const LockPlace place = accountLockPlace(srv, login);
    QString error;
    FunctionLocks::Result result;
    if (place.path.isEmpty() || place.path == QLatin1String(":memory:"))
        result.error = QStringLiteral("no account database to keep the lock in");
    else if (!(place.schema.isEmpty() ? m_locks->open(place.path, &error)
                                      : m_locks->openServer(place.path, place.schema, &error)))
        result.error = error;
    else
        result = m_locks->apply(function, mode, recordKey, login ? login->cUserId() : m_userId);

    switch (result.outcome) {
        case FunctionLocks::Outcome::Taken:
        case FunctionLocks::Outcome::Released:
            return false;
        case FunctionLocks::Outcome::Refused:
            MsgBox(GetResFormatString(QStringLiteral("Pub.LockHeld"),
                                      {function, result.holder->userId, result.holder->host}),
                   host::MsgButtons::Information, GetResString(QStringLiteral("Pub.LockTitle")));
            return true;
        case FunctionLocks::Outcome::Failed:
            break;
    }
    qCWarning(lcPub) << "IsLockFun" << function << mode << "failed:" << result.error;
    if (mode < 0) return false;  // nothing to refuse; the session's end removes the row
    MsgBox(GetResFormatString(QStringLiteral("Pub.LockError"), {function, result.error}),
           host::MsgButtons::Warning, GetResString(QStringLiteral("Pub.LockTitle")));
    return true;
}

QString Pub::GetPrnStyle(host::IClsCommon* srv, const QString& printKey) {
    host::IPrintStyleStore* store = printStylesOf(srv);
    if (!store) {
        qCWarning(lcPub) << "GetPrnStyle: no account database";
        return {};
    }
    QString error;
    const QString style = store->loadPrintStyle(printKey, &error);
    if (!error.isEmpty()) qCWarning(lcPub) << "GetPrnStyle" << printKey << ":" << error;
    return style;
}

bool Pub::SavePrnStyle(host::IClsCommon* srv, const QString& printKey, const QString& style) {
    host::IPrintStyleStore* store = printStylesOf(srv);
    if (!store) {
        qCWarning(lcPub) << "SavePrnStyle: no account database";
        return false;
    }
    QString error;
    if (store->savePrintStyle(printKey, style, &error)) return true;
    qCWarning(lcPub) << "SavePrnStyle" << printKey << ":" << error;
    return false;
}

namespace {

QAction* actionOf(QWidget* window, const QString& key) {
    if (!window) return nullptr;
    for (QAction* a : window->findChildren<QAction*>())
        if (a->objectName().compare(key, Qt::CaseInsensitive) == 0) return a;
    return nullptr;
}

host::IFormOptionStore* formOptionsOf(host::IClsCommon* srv) {
    host::IConnection* connection = srv ? srv->m_cnn() : nullptr;
    return connection ? connection->formOptionStore() : nullptr;
}

}  // namespace

void Pub::FrmOpt(QWidget* window, const QString& key, const QString& formKey, host::ILogin* login,
                 host::IClsCommon* srv) {
    QAction* action = actionOf(window, key);
    host::IFormOptionStore* store = formOptionsOf(srv);
    if (!action || !store) {
        qCWarning(lcPub) << "FrmOpt" << key << ": no such action or no account database";
        return;
    }
    const QString user = login ? login->cUserId() : m_userId;
    QString error;
    if (!store->saveFormOption(user, formKey, action->objectName(),
                        action->isChecked() ? QStringLiteral("1") : QStringLiteral("0"), &error))
        qCWarning(lcPub) << "FrmOpt" << formKey << key << ":" << error;
}

void Pub::FrmOptInit(QWidget* window, const QString& formKey, host::ILogin* login,
                     host::IClsCommon* srv) {
    host::IFormOptionStore* store = formOptionsOf(srv);
    if (!window || !store) return;
    QString error;
    const QMap<QString, QString> options =
        store->loadFormOptions(login ? login->cUserId() : m_userId, formKey, &error);
    if (!error.isEmpty()) qCWarning(lcPub) << "FrmOptInit" << formKey << ":" << error;
    for (auto it = options.begin(); it != options.end(); ++it)
        if (QAction* action = actionOf(window, it.key()); action && action->isCheckable())
            action->setChecked(it.value() == QLatin1String("1"));
}

}  // namespace platform::pub
