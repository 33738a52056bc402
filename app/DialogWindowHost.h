#pragma once
// The desk's window host: modal dialogs run with exec(), platform messages in a message box.
#include "host/IWindowHost.h"

namespace app {

class DialogWindowHost : public host::IWindowHost {
public:
    int showModal(QDialog* dialog) override;
    void message(const QString& text, const QString& title) override;
};

}  // namespace app
