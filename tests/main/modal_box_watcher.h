#pragma once
// Answers the program's modal boxes while a test runs: a repeating timer finds the active modal box,
// notes what it shows and presses one of its buttons.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

namespace testing_support {

struct SeenBox {
    std::string caption;
    std::string text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool applicationModal = false;
    bool hasParent = false;
    std::string defaultButton;
};

class ModalBoxWatcher {
public:
    // press: the text of the button to press; empty presses the box's default button, else its first.
    explicit ModalBoxWatcher(QString press = {}) : press_(std::move(press))
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
    }

    const std::vector<SeenBox>& boxes() const { return boxes_; }
    void setPress(QString press) { press_ = std::move(press); }

private:
    void answer()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == answered_)
            return;
        answered_ = box;
        SeenBox seen;
        seen.caption = box->windowTitle().toStdString();
        seen.text = box->text().toStdString();
        seen.icon = box->icon();
        seen.applicationModal = box->windowModality() == Qt::ApplicationModal;
        seen.hasParent = box->parentWidget() != nullptr;
        QAbstractButton* toPress = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            seen.buttons << button->text();
            if (!press_.isEmpty() && button->text() == press_)
                toPress = button;
        }
        if (box->defaultButton())
            seen.defaultButton = box->defaultButton()->text().toStdString();
        boxes_.push_back(seen);
        if (!toPress)
            toPress = box->defaultButton() ? static_cast<QAbstractButton*>(box->defaultButton()) : box->buttons().value(0);
        if (toPress)
            toPress->click();
    }

    QTimer timer_;
    QString press_;
    QPointer<QMessageBox> answered_;
    std::vector<SeenBox> boxes_;
};

}  // namespace testing_support
