#pragma once
// Every modal show goes through here, so tests can run windows without blocking.
#include <QString>

class QDialog;

namespace host {

class IWindowHost {
public:
    virtual ~IWindowHost() = default;
    virtual int showModal(QDialog* dialog) = 0;  // the dialog's result code
    // A plain information message from the platform itself, for when no public service exists
    // to show it.
    virtual void message(const QString& text, const QString& title) = 0;
};

}  // namespace host
