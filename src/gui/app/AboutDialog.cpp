#include "gui/app/AboutDialog.h"

#include "gui/app/ProductInfo.h"
#include "gui/app/ToolIcons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvo::gui {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Quarvo (TM)"));

    auto* icon = new QLabel(this);
    icon->setPixmap(applicationIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(ProductInfo::title() + QStringLiteral(" (TM)"), this);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    name->setFont(bold);
    auto* version = new QLabel(ProductInfo::title() + QStringLiteral(" ") + ProductInfo::versionLine(), this);

    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(icon);
    body->addSpacing(16);
    body->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addSpacing(12);
    layout->addWidget(ok);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace quarvo::gui
