#include "vcl/widgets/message_box.h"

#include "vcl/widgets/application.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <utility>
#include <vector>

namespace vcl {

namespace {

QString toQString(const std::string& text) { return QString::fromStdString(text); }

// Windows shows CR LF as one line break; Qt's labels want a bare line feed for that.
QString displayText(const std::string& text) { return toQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

// Runs a box modal to every window of the program, then gives the focus back to where it was.
int execModal(QMessageBox& box)
{
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    const QPointer<QWidget> activeWindow = QApplication::activeWindow();
    const QPointer<QWidget> focused = QApplication::focusWidget();
    box.setWindowModality(Qt::ApplicationModal);
    const int result = box.exec();
    if (activeWindow && activeWindow->isVisible())
        activeWindow->activateWindow();
    if (focused && focused->isVisible())
        focused->setFocus(Qt::ActiveWindowFocusReason);
    return result;
}

}  // namespace

void ShowErrorBox(const std::string& text, const std::string& caption)
{
    QMessageBox box(QMessageBox::Critical, toQString(caption), displayText(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    execModal(box);
}

void ShowStartupFailureBox(const std::string& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Application Error"), displayText(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    execModal(box);
}

std::string messageDlgCaption(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return "Warning";
    case TMsgDlgType::mtError: return "Error";
    case TMsgDlgType::mtInformation: return "Information";
    case TMsgDlgType::mtConfirmation: return "Confirm";
    case TMsgDlgType::mtCustom: break;
    }
    return Application ? Application->Title() : std::string();
}

TModalResult MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons, int /*helpContext*/)
{
    static const std::pair<TMsgDlgBtn, std::pair<const char*, TModalResult>> kButtons[] = {
        {mbYes, {"&Yes", mrYes}},       {mbNo, {"&No", mrNo}},          {mbOK, {"OK", mrOk}},
        {mbCancel, {"Cancel", mrCancel}}, {mbAbort, {"&Abort", mrAbort}}, {mbRetry, {"&Retry", mrRetry}},
        {mbIgnore, {"&Ignore", mrIgnore}},
    };
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (type) {
    case TMsgDlgType::mtWarning: icon = QMessageBox::Warning; break;
    case TMsgDlgType::mtError: icon = QMessageBox::Critical; break;
    case TMsgDlgType::mtInformation: icon = QMessageBox::Information; break;
    case TMsgDlgType::mtConfirmation: icon = QMessageBox::Question; break;
    case TMsgDlgType::mtCustom: break;
    }
    QMessageBox box(icon, toQString(messageDlgCaption(type)), displayText(message));
    box.setTextFormat(Qt::PlainText);

    std::vector<std::pair<QAbstractButton*, TModalResult>> results;
    QPushButton* defaultButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* noButton = nullptr;
    for (const auto& [flag, button] : kButtons) {
        if (!(buttons & flag))
            continue;
        QPushButton* pushButton = box.addButton(QString::fromLatin1(button.first), QMessageBox::ActionRole);
        results.emplace_back(pushButton, button.second);
        if (flag == mbOK) okButton = pushButton;
        if (flag == mbCancel) cancelButton = pushButton;
        if (flag == mbNo) noButton = pushButton;
        if (!defaultButton && (flag == mbOK || flag == mbYes))
            defaultButton = pushButton;
    }
    if (defaultButton)
        box.setDefaultButton(defaultButton);
    // Escape and closing the box press Cancel, else No, else OK.
    QPushButton* escapeButton = cancelButton ? cancelButton : noButton ? noButton : okButton;
    if (escapeButton)
        box.setEscapeButton(escapeButton);

    execModal(box);
    for (const auto& [button, result] : results)
        if (box.clickedButton() == button)
            return result;
    return mrCancel;
}

}  // namespace vcl
