#include "app/DialogWindowHost.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace app {

int DialogWindowHost::showModal(QDialog* dialog) {
    if (!dialog) return QDialog::Rejected;
    if (!dialog->parentWidget() && QApplication::activeWindow() != dialog)
        dialog->setWindowModality(Qt::ApplicationModal);
    return dialog->exec();
}

void DialogWindowHost::message(const QString& text, const QString& title) {
    QMessageBox::information(QApplication::activeWindow(), title, text);
}

}  // namespace app
