#include "common/ShowModal.h"

#include <QDialog>

#include "common/Globals.h"
#include "common/Log.h"
#include "host/IWindowHost.h"

namespace userdef {

int ShowModal(QDialog* dialog) {
    host::IWindowHost* windowHost = g_Factory ? g_Factory->windowHost() : nullptr;
    if (!dialog || !windowHost) {
        qCWarning(lcCommon) << "no window host to show a dialog modally";
        return QDialog::Rejected;
    }
    return windowHost->showModal(dialog);
}

}  // namespace userdef
