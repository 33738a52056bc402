#pragma once
// Hands the value list to the print component: print, preview, page set-up or export. The
// print component is wired in here; until then the request is logged and refused.
#include <QString>

class QWidget;

namespace archive {

// mode: "Print", "Preview", "SetUp" or "SaveFile"; style and data as the public service gives
// them (GetPrnStyle, GetData). False when nothing was printed.
bool PrintValueList(const QString& mode, const QString& style, const QString& data,
                    QWidget* window);

}  // namespace archive
