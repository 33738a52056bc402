#pragma once
// Hands the batch window's print data to the print control: "SetUp" page set-up, "Print",
// "Preview", "SaveFile" export (reported with PrintMsg under "MakeVouchSet"), style "Default".
#include <QString>

class QWidget;

namespace carryover {

void PrintGrid(QWidget* window, const QString& key, const QString& printData);

}  // namespace carryover
