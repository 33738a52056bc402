// Window options (status bar, toolbar texts) are remembered per user in the account database.
#include <gtest/gtest.h>

#include <QAction>
#include <QWidget>

#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/TestAccount.h"
#include "tests/support/TestLogin.h"

using namespace platform::pub;

namespace {

struct Window {
    QWidget widget;
    QAction* stb = new QAction(&widget);
    QAction* text = new QAction(&widget);
    Window() {
        for (QAction* a : {stb, text}) {
            a->setCheckable(true);
            a->setChecked(true);
        }
        stb->setObjectName(QStringLiteral("mStb"));
        text->setObjectName(QStringLiteral("mText"));
    }
};

}  // namespace

class PubFormOptions : public testsupport::AccountTest {};

TEST_F(PubFormOptions, CheckedStatesComeBackForTheSameUserOnly) {
    Pub pub(std::make_shared<ScriptedPrompter>(), "zh-cn");
    testsupport::TestLogin demo(account, QStringLiteral("zh-CN"), QStringLiteral("demo"));
    testsupport::TestLogin other(account, QStringLiteral("zh-CN"), QStringLiteral("admin2"));

    {
        Window w;
        pub.FrmOptInit(&w.widget, "userdef", &demo, &account.srv());  // nothing stored yet
        EXPECT_TRUE(w.stb->isChecked());
        w.stb->setChecked(false);
        pub.FrmOpt(&w.widget, "mStb", "userdef", &demo, &account.srv());
        pub.FrmOpt(&w.widget, "MTEXT", "userdef", &demo, &account.srv());  // any letter case
        pub.FrmOpt(&w.widget, "mNone", "userdef", &demo, &account.srv());  // no such action
    }
    Pub later(std::make_shared<ScriptedPrompter>(), "en-us");
    Window again;
    later.FrmOptInit(&again.widget, "userdef", &demo, &account.srv());
    EXPECT_FALSE(again.stb->isChecked());
    EXPECT_TRUE(again.text->isChecked());

    Window theirs;
    later.FrmOptInit(&theirs.widget, "userdef", &other, &account.srv());
    EXPECT_TRUE(theirs.stb->isChecked());
    Window otherForm;
    later.FrmOptInit(&otherForm.widget, "archive", &demo, &account.srv());
    EXPECT_TRUE(otherForm.stb->isChecked());

    // Without a database nothing is stored and nothing changes.
    Window none;
    none.stb->setChecked(false);
    later.FrmOpt(&none.widget, "mStb", "userdef", &demo, nullptr);
    later.FrmOptInit(&none.widget, "userdef", &demo, nullptr);
    EXPECT_FALSE(none.stb->isChecked());
}
