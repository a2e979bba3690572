// The message dialog that asks before a deletion: caption, icon, buttons, default button and what each
// way of answering it returns.
#include "modal_box_watcher.h"
#include "vcl/widgets/application.h"
#include "vcl/widgets/message_box.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

using namespace vcl;

TEST(MessageDlg, ConfirmationHasOkAndCancelWithOkAsDefault)
{
    testing_support::ModalBoxWatcher boxes;
    EXPECT_EQ(MessageDlg("Delete record?", TMsgDlgType::mtConfirmation, mbOK | mbCancel), mrOk);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const auto& box = boxes.boxes()[0];
    EXPECT_EQ(box.caption, "Confirm");
    EXPECT_EQ(box.text, "Delete record?");
    EXPECT_EQ(box.icon, QMessageBox::Question);
    EXPECT_EQ(box.buttons, (QStringList{"OK", "Cancel"}));
    EXPECT_EQ(box.defaultButton, "OK");
    EXPECT_TRUE(box.applicationModal);
}

TEST(MessageDlg, CancelButtonGivesCancel)
{
    testing_support::ModalBoxWatcher boxes("Cancel");
    EXPECT_EQ(MessageDlg("Delete record?", TMsgDlgType::mtConfirmation, mbOK | mbCancel), mrCancel);
}

// Escape and closing the box count as Cancel.
class MessageDlgDismissal : public testing::TestWithParam<bool> {};

TEST_P(MessageDlgDismissal, CountsAsCancel)
{
    const bool byEscape = GetParam();
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [byEscape] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (byEscape)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
        }
    });
    timer.start();
    EXPECT_EQ(MessageDlg("Delete record?", TMsgDlgType::mtConfirmation, mbOK | mbCancel), mrCancel);
}

INSTANTIATE_TEST_SUITE_P(Ways, MessageDlgDismissal, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "escape" : "close"; });

TEST(MessageDlg, CaptionsFollowTheType)
{
    TApplication application("/opt/LOOKUP.EXE");
    EXPECT_EQ(messageDlgCaption(TMsgDlgType::mtWarning), "Warning");
    EXPECT_EQ(messageDlgCaption(TMsgDlgType::mtError), "Error");
    EXPECT_EQ(messageDlgCaption(TMsgDlgType::mtInformation), "Information");
    EXPECT_EQ(messageDlgCaption(TMsgDlgType::mtConfirmation), "Confirm");
    EXPECT_EQ(messageDlgCaption(TMsgDlgType::mtCustom), "Lookup");
}

TEST(MessageDlg, YesNoAnswersYesByDefaultAndNoOnEscape)
{
    {
        testing_support::ModalBoxWatcher boxes;
        EXPECT_EQ(MessageDlg("Go on?", TMsgDlgType::mtWarning, mbYes | mbNo), mrYes);
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].icon, QMessageBox::Warning);
    }
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            QTest::keyClick(box, Qt::Key_Escape);
    });
    timer.start();
    EXPECT_EQ(MessageDlg("Go on?", TMsgDlgType::mtWarning, mbYes | mbNo), mrNo);
}

}  // namespace
