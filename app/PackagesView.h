#pragma once
// The desk's "Compare with package" function: exports the account's definitions (all, or one
// class) into a package file, compares a package file with the account (new, changed field by
// field, unchanged, only in the account; columns added or dropped with the rows of data a drop
// takes; values that go with the rows that hold them; rules), and imports it. Removing what only
// the account has is a tick of its own, asked once more with what it removes before anything
// happens. Refusals are said in the message line and change nothing.
#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform::pub {
class IPrompter;
}
namespace platform::package {
struct PackageComparison;
}

namespace app {

class PackagesView : public QWidget {
    Q_OBJECT
public:
    // `user` is who the account's history names for an import.
    PackagesView(const QString& root, const QString& account, const QString& user,
                 const QString& language,
                 std::shared_ptr<platform::pub::IPrompter> prompter, QWidget* parent = nullptr);

    // The buttons' commands, on the file name typed (or browsed) and the class chosen.
    void exportPackage();
    void compare();
    void importPackage();
    void browse();
    QString messageText() const;

private:
    QString text(const char* key, const QStringList& values = {}) const;
    void say(const QString& message, bool refusal);
    void show(const platform::package::PackageComparison& comparison);
    QTreeWidgetItem* group(const char* key, int count);

    QString m_root, m_account, m_user, m_language;
    std::shared_ptr<platform::pub::IPrompter> m_prompter;
    QLineEdit* m_file;
    QComboBox* m_class;
    QCheckBox* m_removeMissing;
    QTreeWidget* m_tree;
    QLabel* m_message;
};

}  // namespace app
