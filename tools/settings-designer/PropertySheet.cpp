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
    ok_->setDefault(true);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, [this] {
        if (!page_->changed() || apply())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(apply_, &QPushButton::clicked, this, [this] { apply(); });
    connect(widget_, &PropertyPageWidget::edited, this, [this](const QString& property) {
        userEdited_.insert(property.toStdString());
        updateButtons();
    });
    updateButtons();
}

PropertySheet::~PropertySheet()
{
    page_->onField = nullptr;
}

void PropertySheet::setSelection(const std::vector<PropertyHost*>& selected,
                                 const std::map<std::string, std::string>& unread)
{
    selected_ = selected;
    userEdited_.clear();
    page_->selectionChanged(selected_);
    showUnread(unread);
    updateButtons();
}

void PropertySheet::refill(const std::string& member, const std::map<std::string, std::string>& unread)
{
    struct Kept {
        std::string property, text;
        int index;
    };
    std::vector<Kept> kept;
    for (const std::string& p : userEdited_)
        if (p != member)
            kept.push_back({p, page_->text(p), page_->listIndex(p)});
    page_->selectionChanged(selected_);
    showUnread(unread);
    userEdited_.clear();
    for (const Kept& k : kept) {
        const auto kind = page_->def().field(k.property)->kind;
        if (kind == PropertyPageDef::Kind::Text || kind == PropertyPageDef::Kind::Items)
            page_->setText(k.property, k.text);
        else
            page_->pick(k.property, k.index);
        userEdited_.insert(k.property);
    }
    updateButtons();
}

void PropertySheet::showUnread(const std::map<std::string, std::string>& unread)
{
    for (const auto& [property, text] : unread)
        if (const auto* f = page_->def().field(property);
            f && (f->kind == PropertyPageDef::Kind::Text || f->kind == PropertyPageDef::Kind::Items))
            page_->setText(property, text);
}

bool PropertySheet::apply()
{
    // Tried on a copy first, so the form is checked with the page's values.
    if (check && selected_.size() == 1 && selected_.front()) {
        if (std::unique_ptr<PropertyHost> trial = scratchCopy(*selected_.front())) {
            const auto tried = page_->applyChanges({trial.get()}, [](const std::string&) { return true; });
            QString why = tried.applied ? check(*trial) : QString::fromStdString(tried.message);
            if (!why.isEmpty()) {
                warn(why);
                updateButtons();
                return false;
            }
        }
    }
    const auto result = page_->applyChanges(selected_, [this](const std::string& q) {
        return ask(QString::fromStdString(q));
    });
    if (result.applied) {
        page_->clearChanged();
        userEdited_.clear();
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
