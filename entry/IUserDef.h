#pragma once
// The component's public class: the portal creates it, hands it the portal business object and
// asks it to open the item catalogue, inside the portal or as a modal window.
#include <QPointer>
#include <QString>
#include <memory>

#include "entry/CatalogueWindow.h"

namespace host {
class IBusiness;
class ILogin;
}  // namespace host

namespace userdef {

class IUserDef {
public:
    IUserDef();
    ~IUserDef();
    IUserDef(const IUserDef&) = delete;
    IUserDef& operator=(const IUserDef&) = delete;

    std::shared_ptr<host::IBusiness> Business() const;
    void setBusiness(std::shared_ptr<host::IBusiness> business);

    // Opens the catalogue for the portal's login. A command line holding a tab runs it modally
    // and closes the session afterwards; otherwise the portal hosts it and this returns at once.
    void ShowModeless(const QString& cMenuId, const QString& cMenuName, const QString& cAuthId,
                      const QString& cCmdLine);
    void ILoginable_CallFunction(const QString& cMenuId, const QString& cMenuName,
                                 const QString& cAuthId, const QString& cCmdLine);
    bool Login(const std::shared_ptr<host::ILogin>& oLogin);
    bool LogOff();
    bool ILoginable_Login();
    bool ILoginable_LogOff();
    // Opens the catalogue modally for a caller outside the portal; ParaXml's root attribute
    // "classcode" preselects the class of that item.
    void Show(const std::shared_ptr<host::ILogin>& oLogin, const QString& ParaXml);

    // Opens the carry-over rule list inside the portal, in the session the catalogue opened, or
    // brings the open list forward. False when no session is open.
    bool ShowRuleList();

    // The catalogue window of the last session start; null when none was made or it is gone.
    CatalogueWindow* catalogue() const { return m_frm; }
    // True when this instance created the session's services and so releases them.
    bool ownsServices() const { return m_ownsServices; }

private:
    bool OpenSession(const std::shared_ptr<host::ILogin>& oLogin, bool inPortal,
                     const QString& classCode = {});
    void CloseSession();
    void runModal();

    QPointer<CatalogueWindow> m_frm;
    bool m_ownsServices = false;
};

}  // namespace userdef
