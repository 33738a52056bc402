#pragma once
// The host's public service: resource texts, messages and questions, function locks, help,
// grid and print helpers.
//
// Construct it with a prompter (MessageBoxPrompter in the desk, ScriptedPrompter in tests) and
// a language, or give it the login with setLogin. Texts of a key come from the resource texts
// of the language; a key without text answers itself.
#include <QPointer>
#include <memory>

#include "host/IPub.h"
#include "platform/pub/Prompter.h"

class QTimer;

namespace platform::pub {

class ResourceTexts;
class FunctionLocks;
class HelpWindow;

class Pub : public host::IPub {
public:
    // languageRegion as the login gives it ("zh-cn", "zh-tw", "en-us" in any case; anything
    // else is simplified Chinese). A null prompter means message boxes.
    explicit Pub(std::shared_ptr<IPrompter> prompter = nullptr,
                 const QString& languageRegion = QStringLiteral("zh-cn"));
    ~Pub() override;  // releases every lock this session holds

    // Language, user and host of the session, from the login.
    void setLogin(const host::ILogin& login);
    void setLanguage(const QString& languageRegion);
    QString language() const { return m_language; }  // "zh-CN", "zh-TW" or "en-US"
    IPrompter& prompter() { return *m_prompter; }
    FunctionLocks& locks() { return *m_locks; }
    QString sessionId() const;  // owner of this service's function locks

    QString GetResString(const QString& key) override;
    QString GetResFormatString(const QString& key, const QStringList& values) override;
    int MsgBox(const QString& text, int buttons, const QString& title) override;

    // Locks live in the account database reached through srv's connection (else the login's
    // current connection, else its ZxDbName); see FunctionLocks for the rules. A refusal tells
    // the user who holds the lock; a lock that cannot be checked is refused with the reason.
    bool IsLockFun(host::IClsCommon* srv, host::ILogin* login, const QString& function, int mode,
                   bool recordLock = false, const QString& recordKey = {}) override;

    // A window reports unsaved changes with its dynamic property "dirty" == true and saves with
    // an invokable "bool SaveRs()". When dirty, asks "Q9.AAARCHIVE.COMMON.savearch_ornot"
    // (yes/no): yes saves and answers SaveRs' result; no answers true (changes dropped). A clean
    // window, or none, answers true.
    bool isSaveRs(QWidget* window) override;

    QString GetRptArchSQL(const QString& columns) override;
    QString M_LocaleId() const override { return m_language; }
    QColor MustInputColor() const override;
    QColor UnEditedColor() const override;

    void FrmUniteFont(QWidget* window) override;
    void FormatGrid(host::IGrid* grid, const host::RecordSet& fields,
                    const QString& alignXml) override;
    void SetGridRow(host::IGrid* grid, const QString& text, const QString& columnCaption, int row,
                    int topRow) override;
    void GridSort(host::IGrid* grid, int col, Qt::SortOrder order) override;
    void GridSortNew(host::IGrid* grid, const QString& menuKey) override;
    bool FindPos(QWidget* window, host::IGrid* grid) override;

    void HelpX(const QString& topic, QWidget* window) override;
    void HelpShow(QWidget* window, const QString& commandKey) override;
    void HelpHide() override;
    HelpWindow* helpWindow() const;  // the open help window, if any

    QVector<host::FieldInfo> GetTypeSize(const host::RecordSet& fields) override;
    QString GetPrnStyle(host::IClsCommon* srv, const QString& printKey) override;
    bool SavePrnStyle(host::IClsCommon* srv, const QString& printKey,
                      const QString& style) override;
    QString GetData(host::IGrid* grid, const QString& title, const QString& accountId,
                    const QString& userId, const QString& userName) override;
    void PrintMsg(int count, const QString& printKey) override;
    void FrmOpt(QWidget* window, const QString& key, const QString& formKey, host::ILogin* login,
                host::IClsCommon* srv) override;
    void FrmOptInit(QWidget* window, const QString& formKey, host::ILogin* login,
                    host::IClsCommon* srv) override;

    // The family FrmUniteFont applies: the first CJK-capable family the machine has.
    static QString uniteFontFamily();

private:
    ResourceTexts& texts();
    QString m_userId;

    std::shared_ptr<IPrompter> m_prompter;
    QString m_language;
    std::unique_ptr<ResourceTexts> m_texts;
    std::unique_ptr<FunctionLocks> m_locks;
    QPointer<HelpWindow> m_help;
    QString m_lastFind;
};

}  // namespace platform::pub
