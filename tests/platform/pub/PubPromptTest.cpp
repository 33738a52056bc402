// Messages and questions through the prompter, the unsaved-changes question and the real
// message box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "host/IPub.h"
#include "platform/pub/MessageBoxPrompter.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"

using namespace platform::pub;
namespace Answer = host::MsgAnswer;

namespace {

struct Session {
    std::shared_ptr<ScriptedPrompter> prompter = std::make_shared<ScriptedPrompter>();
    Pub pub{prompter, "zh-cn"};
};

}  // namespace

class DirtyWindow : public QWidget {
    Q_OBJECT
public:
    int saves = 0;
    bool saveResult = true;
    Q_INVOKABLE bool SaveRs() {
        ++saves;
        if (saveResult) setProperty("dirty", false);
        return saveResult;
    }
};

TEST(PubIsSaveRs, AnUnsavedWindowIsLeftOnlyWhenSavedOrDropped) {
    const struct {
        bool dirty;
        int answer;
        bool saveWorks;
        bool mayLeave;
        int saves;
    } cases[] = {
        {false, Answer::Yes, true, true, 0},   // clean: not asked
        {true, Answer::Yes, true, true, 1},    // saved
        {true, Answer::Yes, false, false, 1},  // the save failed: stay
        {true, Answer::No, true, true, 0},     // changes dropped
    };
    for (const auto& c : cases) {
        Session s;
        DirtyWindow w;
        w.setProperty("dirty", c.dirty);
        w.saveResult = c.saveWorks;
        s.prompter->queueAnswer(c.answer);
        EXPECT_EQ(s.pub.isSaveRs(&w), c.mayLeave) << c.dirty << c.answer << c.saveWorks;
        EXPECT_EQ(w.saves, c.saves);
        EXPECT_EQ(s.prompter->asked().size(), c.dirty ? 1 : 0);
        if (c.dirty) EXPECT_EQ(s.prompter->asked()[0].text, "数据已修改，是否保存？");
    }
    // A changed window that cannot save cannot be left.
    Session s;
    QWidget plain;
    plain.setProperty("dirty", true);
    s.prompter->queueAnswer(Answer::Yes);
    EXPECT_FALSE(s.pub.isSaveRs(&plain));
}

namespace {

// Handles the next modal message box once it is up; fails the test when none comes within
// five seconds.
void onNextBox(std::function<void(QMessageBox*)> handle) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(500);
    QObject::connect(timer, &QTimer::timeout, [timer, handle, tries] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box && --*tries > 0) return;
        timer->stop();
        timer->deleteLater();
        if (box) handle(box);
        else ADD_FAILURE() << "no message box came up";
    });
    timer->start(10);
}

}  // namespace

TEST(MessageBoxPrompter, ShowsTheIconButtonsAndTitleOfTheCode) {
    MessageBoxPrompter prompter;
    const struct {
        int code;
        QMessageBox::StandardButton press;
        QMessageBox::Icon icon;
        bool yesNo;
        int answer;
    } cases[] = {
        {52, QMessageBox::No, QMessageBox::Warning, true, Answer::No},
        {36, QMessageBox::Yes, QMessageBox::Question, true, Answer::Yes},
        {64, QMessageBox::Ok, QMessageBox::Information, false, Answer::Ok},
        {36, QMessageBox::NoButton, QMessageBox::Question, true, Answer::No},  // Escape
    };
    for (const auto& c : cases) {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        bool yes = false;
        onNextBox([&](QMessageBox* box) {
            icon = box->icon();
            title = box->windowTitle();
            yes = box->button(QMessageBox::Yes) && !box->button(QMessageBox::Ok);
            if (c.press == QMessageBox::NoButton) box->reject();
            else box->button(c.press)->click();
        });
        EXPECT_EQ(prompter.ask("Go on?", c.code, "Attention"), c.answer) << c.code;
        EXPECT_EQ(icon, c.icon) << c.code;
        EXPECT_EQ(title, "Attention");
        EXPECT_EQ(yes, c.yesNo);
    }
}

#include "PubPromptTest.moc"
