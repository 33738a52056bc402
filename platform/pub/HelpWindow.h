#pragma once
// The help window: one HTML page of the help resources in a text browser.
#include <QWidget>
#include <memory>

namespace Ui {
class HelpWindow;
}

class QTextBrowser;

namespace platform::pub {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Shows the page of a topic in a language, falling back to simplified Chinese; false (and
    // nothing shown) when the topic has no page.
    bool showTopic(const QString& topic, const QString& language);
    QString topic() const { return m_topic; }
    QString pagePath() const { return m_path; }
    QTextBrowser* browser() const;

private:
    std::unique_ptr<Ui::HelpWindow> ui;
    QString m_topic;
    QString m_path;
};

}  // namespace platform::pub
