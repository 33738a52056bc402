// Locks between two sessions of one account, on either kind: a second administrator is refused
// what a window holds and told who holds it, and gets it once the window closes or goes.
#include <QSysInfo>

#include "tests/itemdef/EditorFixture.h"

namespace {

class WindowLocks : public edtest::EditorTest,
                    public ::testing::WithParamInterface<testsupport::TestAccount::Kind> {
protected:
    WindowLocks() : EditorTest(GetParam()) {}
    QString lastRefusal() const {
        const auto* prompter = static_cast<platform::pub::ScriptedPrompter*>(&other->prompter());
        return prompter->last() ? prompter->last()->text : QString();
    }
};

TEST_P(WindowLocks, TheItemEditorsRecordLockGoesWithTheEditor) {
    open(edtest::kHeader, QStringLiteral("15"));
    EXPECT_TRUE(heldElsewhere(QStringLiteral("15")));
    EXPECT_EQ(lastRefusal(),
              other->GetResFormatString("Pub.LockHeld", {"UserDef", session.login->cUserId(),
                                                         QSysInfo::machineHostName()}));
    editor->close();
    EXPECT_FALSE(heldElsewhere(QStringLiteral("15")));
    open(edtest::kHeader, QStringLiteral("15"));
    EXPECT_TRUE(heldElsewhere(QStringLiteral("15")));
    editor.reset();  // gone without being closed
    EXPECT_FALSE(heldElsewhere(QStringLiteral("15")));
}

INSTANTIATE_TEST_SUITE_P(Kinds, WindowLocks,
                         ::testing::Values(testsupport::TestAccount::Kind::Embedded,
                                           testsupport::TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });

}  // namespace
