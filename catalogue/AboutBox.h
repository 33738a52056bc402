#pragma once
// The about box of the program: its name, version and what it is for.
#include <QDialog>
#include <memory>

namespace Ui {
class AboutBox;
}

namespace catalogue {

class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);
    ~AboutBox() override;

    static QString version();  // the program's version, as the build names it

private:
    std::unique_ptr<Ui::AboutBox> ui;
};

}  // namespace catalogue
