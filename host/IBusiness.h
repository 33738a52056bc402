#pragma once
// The portal business object that hosts the component's windows.
#include <QString>
#include <memory>

class QWidget;

namespace host {

class ILogin;

class IBusiness {
public:
    virtual ~IBusiness() = default;
    virtual std::shared_ptr<ILogin> GetVBclsLogin() = 0;
    // An environment for a window about to be shown in the portal (opaque to the component).
    virtual QString CreateFormEnv(const QString& windowKey, QWidget* window) = 0;
    virtual void ShowForm(QWidget* window, const QString& subsystem, const QString& formKey,
                          bool modal, bool activate, const QString& environment) = 0;
};

}  // namespace host
