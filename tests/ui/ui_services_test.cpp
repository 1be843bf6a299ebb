#include "ui/ui_services.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/scripted_services.h"

namespace tallowmere::ui {
namespace {

// Acts on the message box once it is open, from inside its modal loop.
void WhenBoxOpens(std::function<void(QMessageBox&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        act(*box);
    });
}

TEST(QtMessages, EscapeGivesCancelElseNoElseOk) {
    struct Case {
        Buttons buttons;
        Answer escape;
    };
    const Case cases[] = {
        {Buttons::kOk, Answer::kOk},
        {Buttons::kOkCancel, Answer::kCancel},
        {Buttons::kYesNo, Answer::kNo},
        {Buttons::kYesNoCancel, Answer::kCancel},
    };
    for (const Case& c : cases) {
        WhenBoxOpens([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
        MessageRequest request;
        request.text = "Close me";
        request.buttons = c.buttons;
        EXPECT_EQ(Services().ShowMessage(nullptr, request), c.escape);
    }
}

TEST(QtMessages, TextIsPlainWithTheDefaultButtonAndCaption) {
    QString caption;
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    QString defaultText;
    WhenBoxOpens([&](QMessageBox& box) {
        caption = box.windowTitle();
        shown = box.text();
        format = box.textFormat();
        defaultText = box.defaultButton() != nullptr ? box.defaultButton()->text() : QString();
        box.defaultButton()->click();
    });
    MessageRequest request;
    request.text = "<b>Payee</b> & Co";
    request.buttons = Buttons::kYesNo;
    request.icon = Icon::kQuestion;
    request.defaultAnswer = Answer::kNo;
    EXPECT_EQ(Services().ShowMessage(nullptr, request), Answer::kNo);
    EXPECT_EQ(caption, "Tallowmere Desktop");
    EXPECT_EQ(shown, "<b>Payee</b> & Co");
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(
        defaultText,
        QMessageBox(QMessageBox::NoIcon, "", "", QMessageBox::No).button(QMessageBox::No)->text());
}

TEST(ServiceMessages, GoThroughTheInstalledServices) {
    test::ScriptedServices scripted;
    scripted.answers.push_back(Answer::kYes);
    ServiceMessages messages;
    EXPECT_EQ(messages.Show(StringMessage(57344, {}, Buttons::kYesNo)), Answer::kYes);
    ASSERT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(scripted.messages[0].stringId, 57344);
    EXPECT_EQ(scripted.messages[0].text, "Tallowmere Desktop");
}

}  // namespace
}  // namespace tallowmere::ui
