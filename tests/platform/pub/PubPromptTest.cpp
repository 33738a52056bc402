// The real message box behind every question, and the one leave rule no window shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "host/IPub.h"
#include "platform/pub/MessageBoxPrompter.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"

using namespace platform::pub;
namespace Answer = host::MsgAnswer;

TEST(PubIsSaveRs, AChangedWindowThatCannotSaveCannotBeLeft) {
    auto prompter = std::make_shared<ScriptedPrompter>();
    Pub pub(prompter, "zh-cn");
    QWidget plain;  // no invokable SaveRs
    plain.setProperty("dirty", true);
    prompter->queueAnswer(Answer::Yes);
    EXPECT_FALSE(pub.isSaveRs(&plain));
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
        QMessageBox::StandardButton press;  // NoButton: Escape
        QMessageBox::Icon icon;
        int answer;
    } cases[] = {
        {52, QMessageBox::No, QMessageBox::Warning, Answer::No},
        {64, QMessageBox::Ok, QMessageBox::Information, Answer::Ok},
        {36, QMessageBox::NoButton, QMessageBox::Question, Answer::No},
    };
    for (const auto& c : cases) {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        onNextBox([&](QMessageBox* box) {
            icon = box->icon();
            title = box->windowTitle();
            QAbstractButton* press = box->button(c.press);
            EXPECT_EQ(press != nullptr, c.press != QMessageBox::NoButton) << c.code;
            press ? press->click() : box->reject();
        });
        EXPECT_EQ(prompter.ask("Go on?", c.code, "Attention"), c.answer) << c.code;
        EXPECT_EQ(icon, c.icon) << c.code;
        EXPECT_EQ(title, "Attention");
    }
}
