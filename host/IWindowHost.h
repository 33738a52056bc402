#pragma once
// Every modal show goes through here, so tests can run windows without blocking.
class QDialog;

namespace host {

class IWindowHost {
public:
    virtual ~IWindowHost() = default;
    virtual int showModal(QDialog* dialog) = 0;  // the dialog's result code
};

}  // namespace host
