// Messages and questions through the prompter, and the unsaved-changes question.
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

TEST(PubMsgBox, QuestionsTakeScriptedAnswersAndAreRecorded) {
    Session s;
    s.prompter->queueAnswers({Answer::No, Answer::Yes});
    EXPECT_EQ(s.pub.MsgBox("delete?", 36, "title"), Answer::No);
    EXPECT_EQ(s.pub.MsgBox("really?", 52, "title"), Answer::Yes);
    ASSERT_EQ(s.prompter->asked().size(), 2);
    EXPECT_EQ(s.prompter->asked()[0].text, "delete?");
    EXPECT_EQ(s.prompter->asked()[0].buttons, 36);
    EXPECT_EQ(s.prompter->asked()[1].buttons, 52);
    EXPECT_EQ(s.prompter->asked()[1].title, "title");
}

TEST(PubMsgBox, PlainMessagesAnswerOkAndLeaveTheScriptAlone) {
    Session s;
    s.prompter->queueAnswer(Answer::No);
    EXPECT_EQ(s.pub.MsgBox("saved", 64, "info"), Answer::Ok);
    EXPECT_EQ(s.pub.MsgBox("plain", 0, ""), Answer::Ok);
    EXPECT_EQ(s.prompter->pendingAnswers(), 1);
    EXPECT_EQ(s.pub.MsgBox("q", 36, ""), Answer::No);
}

TEST(PubMsgBox, EmptyScriptGivesTheDefaultTheButtonsOffer) {
    Session s;
    EXPECT_EQ(s.pub.MsgBox("q", 36, ""), Answer::Yes);
    s.prompter->setDefaultAnswer(Answer::No);
    EXPECT_EQ(s.pub.MsgBox("q", 52, ""), Answer::No);
    EXPECT_EQ(s.pub.MsgBox("ok or cancel", 1, ""), Answer::Ok);  // No is not offered
    EXPECT_EQ(answersOf(3), (QVector<int>{Answer::Yes, Answer::No, Answer::Cancel}));
}

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

TEST(PubIsSaveRs, CleanWindowIsNotAsked) {
    Session s;
    DirtyWindow w;
    EXPECT_TRUE(s.pub.isSaveRs(&w));
    EXPECT_TRUE(s.pub.isSaveRs(nullptr));
    EXPECT_TRUE(s.prompter->asked().isEmpty());
}

TEST(PubIsSaveRs, YesSavesAndAnswersTheSaveResult) {
    Session s;
    DirtyWindow w;
    w.setProperty("dirty", true);
    s.prompter->queueAnswer(Answer::Yes);
    EXPECT_TRUE(s.pub.isSaveRs(&w));
    EXPECT_EQ(w.saves, 1);
    ASSERT_EQ(s.prompter->asked().size(), 1);
    EXPECT_EQ(s.prompter->asked()[0].text, "数据已修改，是否保存？");
    EXPECT_EQ(s.prompter->asked()[0].buttons, 36);
    EXPECT_EQ(s.prompter->asked()[0].title, "提示");

    // A save that fails keeps the caller where it is.
    w.setProperty("dirty", true);
    w.saveResult = false;
    s.prompter->queueAnswer(Answer::Yes);
    EXPECT_FALSE(s.pub.isSaveRs(&w));
}

TEST(PubIsSaveRs, NoDropsTheChanges) {
    Session s;
    DirtyWindow w;
    w.setProperty("dirty", true);
    s.prompter->queueAnswer(Answer::No);
    EXPECT_TRUE(s.pub.isSaveRs(&w));
    EXPECT_EQ(w.saves, 0);
}

TEST(PubIsSaveRs, DirtyWindowWithoutSaveRsCannotBeLeft) {
    Session s;
    QWidget w;
    w.setProperty("dirty", true);
    s.prompter->queueAnswer(Answer::Yes);
    EXPECT_FALSE(s.pub.isSaveRs(&w));
}


namespace {

// Handles the next modal message box once it is up.
void onNextBox(std::function<void(QMessageBox*)> handle) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, handle] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            handle(box);
        }
    });
    timer->start(10);
}

}  // namespace

TEST(MessageBoxPrompter, ShowsTheIconButtonsAndTitleOfTheCode) {
    MessageBoxPrompter prompter;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    bool hasYes = false, hasOk = false;
    onNextBox([&](QMessageBox* box) {
        icon = box->icon();
        title = box->windowTitle();
        hasYes = box->button(QMessageBox::Yes) != nullptr;
        hasOk = box->button(QMessageBox::Ok) != nullptr;
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(prompter.ask("Delete the value?", 52, "Attention"), Answer::No);
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(title, "Attention");
    EXPECT_TRUE(hasYes);
    EXPECT_FALSE(hasOk);

    onNextBox([&](QMessageBox* box) {
        icon = box->icon();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(prompter.ask("Save?", 36, ""), Answer::Yes);
    EXPECT_EQ(icon, QMessageBox::Question);

    onNextBox([&](QMessageBox* box) {
        icon = box->icon();
        hasYes = box->button(QMessageBox::Yes) != nullptr;
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(prompter.ask("Saved.", 64, "Information"), Answer::Ok);
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_FALSE(hasYes);

    // Closing a yes/no box with Escape answers No.
    onNextBox([](QMessageBox* box) { box->reject(); });
    EXPECT_EQ(prompter.ask("Continue?", 36, ""), Answer::No);
}

#include "PubPromptTest.moc"
