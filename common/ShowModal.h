#pragma once
// Shows a dialog of the component modally through the host's window host, so every modal show
// can be answered without blocking (tests, automation).
class QDialog;

namespace userdef {

// The dialog's result code; QDialog::Rejected when the host has no window host.
int ShowModal(QDialog* dialog);

}  // namespace userdef
