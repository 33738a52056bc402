#include "common/ShowMsg.h"

#include "common/Globals.h"
#include "common/Log.h"

namespace userdef {

void ShowMsg(const QString& text) {
    if (!g_Pub) {
        qCWarning(lcCommon) << "ShowMsg without a public service:" << text;
        return;
    }
    g_Pub->MsgBox(text, host::MsgButtons::Information,
                  g_Pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.information")));
}

}  // namespace userdef
