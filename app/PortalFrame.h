#pragma once
// The portal: a menu and a list of functions, and the windows they open, one tab each.
#include <QMainWindow>
#include <functional>
#include <memory>

namespace Ui {
class PortalFrame;
}
class QTabWidget;

namespace app {

class PortalFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit PortalFrame(const QString& language, QWidget* parent = nullptr);
    ~PortalFrame() override;

    // Title and status line: account and user of the session.
    void setSession(const QString& accountId, const QString& accountName, const QString& userId,
                    const QString& userName);

    // Hosts a window in a new tab (deleted when it closes) and returns the tab's index.
    int hostWindow(QWidget* window, const QString& formKey, bool activate);
    // The hosted window of a form key; null when none is open.
    QWidget* windowOf(const QString& formKey) const;
    QTabWidget* tabs() const;

    // Closes a tab: the window's ExitForm when it has one, else its close. False when the
    // window stays open.
    bool closeTab(int index);

    // Shows or hides the Users function (offered to administrators of definitions only).
    void offerUsers(bool offered);

signals:
    // A function of the menu or list was chosen: "UserDef" (user-defined items),
    // "MakeVouchSet" (carry-over rules), "CoverSetting" (the catalogue's overwrite setting) or
    // "DocLayouts" (the document layouts, read only), "Users" (who may log in) or "Packages"
    // (compare with and import a definition package).
    void functionRequested(const QString& functionKey);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void retranslate();
    void updatePage();
    QString text(const char* key, const QStringList& values = {}) const;

    std::unique_ptr<Ui::PortalFrame> ui;
    QString m_language;
};

}  // namespace app
