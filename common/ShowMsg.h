#pragma once
#include <QString>

namespace userdef {

// Shows an information message through the public service, titled with the text of
// "Q9.AA.ARCHIVE.COMMON.information".
void ShowMsg(const QString& text);

}  // namespace userdef
