#pragma once
// A window's print commands on its print data: page set-up, print, preview and export, with
// the page set-up stored per print key.
#include <QString>

class QWidget;

namespace controls {
class PrintControl;
}

namespace userdef {

// Runs mode ("SetUp", "Print", "Preview" or "SaveFile") on data (<PrintData>, IPub::GetData)
// with the stored style of printKey: a changed page set-up is saved under the key, an export
// reports its row count under it and a failed one its reason. prn is the window's print
// control (its font and row-number choice set by the window). False when nothing was done.
bool RunPrintCommand(controls::PrintControl& prn, const QString& mode, const QString& printKey,
                     const QString& data);

// The same with a print control of the moment, owned by window.
bool RunPrintCommand(QWidget* window, const QString& mode, const QString& printKey,
                     const QString& data);

}  // namespace userdef
