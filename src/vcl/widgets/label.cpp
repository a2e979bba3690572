#include "vcl/widgets/label.h"

#include <QFontMetrics>
#include <QLabel>

namespace vcl {

TLabel::TLabel(TComponent* owner) : TControl(owner), label_(new QLabel)
{
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setFocusPolicy(Qt::NoFocus);
    SetHandle(label_);
}

void TLabel::SetCaption(std::string caption)
{
    caption_ = std::move(caption);
    label_->setText(QString::fromStdString(caption_));
    adjustSize();
}

void TLabel::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    adjustSize();
}

void TLabel::FontChanged()
{
    TControl::FontChanged();
    adjustSize();
}

void TLabel::adjustSize()
{
    if (!autoSize_)
        return;
    const QFontMetrics metrics(label_->font());
    const QString text = label_->text();
    int width = 0;
    int lines = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        width = std::max(width, metrics.horizontalAdvance(line));
        ++lines;
    }
    SetBounds(Left(), Top(), width, metrics.height() * std::max(1, lines));
}

}  // namespace vcl
