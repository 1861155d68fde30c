#include "PropertySheet.h"

#include "PropertyPageWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kova {

PropertySheet::PropertySheet(const PropertyPageDef& def, QWidget* parent)
    : QDialog(parent), page_(std::make_unique<PropertyPage>(def))
{
    setWindowTitle(QStringLiteral("Property Pages"));
    warn = [this](const QString& text) { QMessageBox::warning(this, kTitle, text); };
    ask = [this](const QString& question) {
        return QMessageBox::question(this, kTitle, question) == QMessageBox::Yes;
    };
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget;
    widget_ = new PropertyPageWidget(*page_);
    tabs_->addTab(widget_, QString::fromStdString(def.name));
    layout->addWidget(tabs_);
    note_ = new QLabel(QString::fromStdString(PropertyPage::kSelectOne));
    note_->hide();
    layout->addWidget(note_);
    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton(QStringLiteral("OK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    apply_ = new QPushButton(QStringLiteral("Apply"));
    buttons->addStretch();
    for (QPushButton* b : {ok_, cancel, apply_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, [this] {
        if (!page_->changed() || apply())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(apply_, &QPushButton::clicked, this, [this] { apply(); });
    connect(widget_, &PropertyPageWidget::edited, this, [this] { updateButtons(); });
    updateButtons();
}

PropertySheet::~PropertySheet()
{
    page_->onField = nullptr;
}

void PropertySheet::setSelection(const std::vector<PropertyHost*>& selected)
{
    selected_ = selected;
    page_->selectionChanged(selected_);
    updateButtons();
}

bool PropertySheet::apply()
{
    const auto result = page_->applyChanges(selected_, [this](const std::string& q) {
        return ask(QString::fromStdString(q));
    });
    if (result.applied) {
        page_->clearChanged();
        emit applied();
    } else if (!result.message.empty()) {
        warn(QString::fromStdString(result.message));
    }
    updateButtons();
    return result.applied;
}

void PropertySheet::updateButtons()
{
    const bool one = selected_.size() == 1;
    note_->setVisible(selected_.size() > 1);
    ok_->setEnabled(one);
    apply_->setEnabled(one && page_->changed());
}

} // namespace kova
