#pragma once
// The help window: one HTML page of the help resources in a text browser, with a find box.
// Escape closes it; Ctrl+F goes to the find box, Enter there finds the next match.
#include <QWidget>
#include <memory>

namespace Ui {
class HelpWindow;
}

class QLineEdit;
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
    void setFindHint(const QString& hint);
    // Moves the window beside another (right of it, else left of it) within the screen.
    void placeBeside(const QWidget* other);
    QString topic() const { return m_topic; }
    QString pagePath() const { return m_path; }
    QTextBrowser* browser() const;
    QLineEdit* findBox() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Finds the find box's text, forward from the cursor and around the page's end.
    void findNext(bool fromStart);

    std::unique_ptr<Ui::HelpWindow> ui;
    QString m_topic;
    QString m_path;
};

}  // namespace platform::pub
