// Messages and questions through the prompter, and the unsaved-changes question.
#include <gtest/gtest.h>

#include <QWidget>

#include "AppFixture.h"
#include "host/IPub.h"
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
    testApp();
    Session s;
    DirtyWindow w;
    EXPECT_TRUE(s.pub.isSaveRs(&w));
    EXPECT_TRUE(s.pub.isSaveRs(nullptr));
    EXPECT_TRUE(s.prompter->asked().isEmpty());
}

TEST(PubIsSaveRs, YesSavesAndAnswersTheSaveResult) {
    testApp();
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
    testApp();
    Session s;
    DirtyWindow w;
    w.setProperty("dirty", true);
    s.prompter->queueAnswer(Answer::No);
    EXPECT_TRUE(s.pub.isSaveRs(&w));
    EXPECT_EQ(w.saves, 0);
}

TEST(PubIsSaveRs, DirtyWindowWithoutSaveRsCannotBeLeft) {
    testApp();
    Session s;
    QWidget w;
    w.setProperty("dirty", true);
    s.prompter->queueAnswer(Answer::Yes);
    EXPECT_FALSE(s.pub.isSaveRs(&w));
}

#include "PubPromptTest.moc"
