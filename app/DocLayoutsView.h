#pragma once
// Read-only list of the account's document layouts: each field of each layout's header and
// body with its caption and the user-defined item it shows. Read again whenever it is shown,
// so captions rewritten by an item save appear.
#include <QWidget>
#include <memory>

class QLabel;
class QStandardItemModel;
class QTableView;

namespace platform::server {
class ClsCommon;
}

namespace app {

class DocLayoutsView : public QWidget {
    Q_OBJECT
public:
    // connectionText: the account database; language: "zh-CN", "zh-TW" or "en-US".
    DocLayoutsView(const QString& connectionText, const QString& language,
                   QWidget* parent = nullptr);
    ~DocLayoutsView() override;

    // Reads the layouts again; false when they cannot be read: the rows read before stay and
    // the view says why above them.
    bool reload();
    QStandardItemModel* model() const { return m_model; }
    QString errorText() const;  // empty while the rows are current

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString m_language;
    std::unique_ptr<platform::server::ClsCommon> m_srv;
    QStandardItemModel* m_model;
    QLabel* m_error;
    QTableView* m_view;
};

}  // namespace app
