#include "gui/app/QuestionDialog.h"

#include "core/ui/DialogResult.h"
#include "gui/app/ProductInfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace quarvo::gui {

QuestionDialog::QuestionDialog(const QString& question, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(ProductInfo::title());

    auto* icon = new QLabel(this);
    int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(iconSize, iconSize));
    icon->setAlignment(Qt::AlignTop);

    auto* text = new QLabel(question, this);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setMinimumWidth(320);

    m_yes = new QPushButton(QStringLiteral("&Yes"), this);
    m_yesToAll = new QPushButton(QStringLiteral("Yes To &All"), this);
    m_no = new QPushButton(QStringLiteral("&No"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    const std::pair<QPushButton*, int> results[] = {
        {m_yes, DialogResult::Yes},
        {m_yesToAll, DialogResult::YesToAll},
        {m_no, DialogResult::No},
        {m_cancel, DialogResult::Cancel},
    };
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (auto [button, result] : results) {
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, result = result] { done(result); });
        buttons->addWidget(button);
    }
    m_no->setDefault(true);

    auto* body = new QHBoxLayout;
    body->addWidget(icon);
    body->addSpacing(12);
    body->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton* QuestionDialog::button(int dialogResult) const
{
    switch (dialogResult) {
    case DialogResult::Yes:
        return m_yes;
    case DialogResult::YesToAll:
        return m_yesToAll;
    case DialogResult::No:
        return m_no;
    case DialogResult::Cancel:
        return m_cancel;
    default:
        return nullptr;
    }
}

void QuestionDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_no->setFocus(Qt::OtherFocusReason);
}

void QuestionDialog::reject()
{
    done(DialogResult::Cancel);
}

} // namespace quarvo::gui
