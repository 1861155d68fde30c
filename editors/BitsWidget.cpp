#include "editors/BitsWidget.h"

#include "editors/SpokenName.h"
#include "editors/ValueEditorWidget.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace kova {

BitsWidget::BitsWidget(QWidget* parent)
    : QWidget(parent), owned_(std::make_unique<Bits>()), model_(owned_.get()), combo1_(new QComboBox(this))
{
    bind();
}

BitsWidget::BitsWidget(Bits& model, QWidget* parent) : QWidget(parent), model_(&model), combo1_(new QComboBox(this))
{
    bind();
}

void BitsWidget::bind()
{
    combo1_->setObjectName("Combo1");
    combo1_->setEditable(false);
    // The list fills the widget's width at its own height, centred; a layout
    // (not the list itself, which resizes to its items) keeps it so.
    combo1_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(combo1_, 0, Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    combo1_->installEventFilter(this);
    prevItemsAppended_ = model_->onItemsAppended;
    prevSelectionShown_ = model_->onSelectionShown;
    prevClick_ = model_->onClick;
    model_->onItemsAppended = [this] {
        if (prevItemsAppended_)
            prevItemsAppended_();
        showItems();
    };
    model_->onSelectionShown = [this] {
        if (prevSelectionShown_)
            prevSelectionShown_();
        showSelection();
    };
    model_->onClick = [this] {
        if (prevClick_)
            prevClick_();
        emit Click();
    };
    connect(combo1_, &QComboBox::activated, this, [this](int k) { model_->pick(k); });
    resize(120, combo1_->sizeHint().height());
    showItems();
    applyLook();
}

BitsWidget::~BitsWidget()
{
    model_->onItemsAppended = prevItemsAppended_;
    model_->onSelectionShown = prevSelectionShown_;
    model_->onClick = prevClick_;
}

void BitsWidget::showItems()
{
    const QSignalBlocker block(combo1_);
    combo1_->clear();
    for (const std::string& s : model_->List())
        combo1_->addItem(QString::fromStdString(s));
    combo1_->setCurrentIndex(model_->ListIndex());  // a combo box picks its first item by itself
    updateGeometry();
}

void BitsWidget::showSelection()
{
    const QSignalBlocker block(combo1_);
    combo1_->setCurrentIndex(model_->ListIndex());
}

QWidget* BitsWidget::nameParts(const QString& name)
{
    combo1_->setAccessibleName(name);
    if (!spokenCaption_) {
        // Out of the layout and hidden: it takes no room and shows nothing.
        spokenCaption_ = new QLabel(this);
        spokenCaption_->setObjectName(QStringLiteral("SpokenCaption"));
        spokenCaption_->hide();
    }
    spokenCaption_->setText(name);
    pairCaption(*spokenCaption_, *combo1_);
    return combo1_;
}

std::vector<std::string> BitsWidget::loadSettings(const PropertyBag& bag)
{
    auto bad = model_->loadSettings(bag);
    applyLook();
    return bad;
}

void BitsWidget::applyLook()
{
    // A palette of its own only for colours of its own: the style caches a
    // picture of a selector per palette, so a new palette for every selector
    // would add pictures to that cache at every page open.
    QPalette p = combo1_->palette();
    const QColor back = ValueEditorWidget::storedColor(model_->BackColor(), QApplication::palette());
    const QColor fore = ValueEditorWidget::storedColor(model_->ForeColor(), QApplication::palette());
    if (p.color(QPalette::Base) != back || p.color(QPalette::Text) != fore) {
        p.setColor(QPalette::Base, back);
        p.setColor(QPalette::Text, fore);
        combo1_->setPalette(p);
    }
    if (!model_->Font().empty()) {
        QFont f = combo1_->font();
        f.fromString(QString::fromStdString(model_->Font()));
        combo1_->setFont(f);
    }
    setAutoFillBackground(model_->BackStyle() == 1);
    combo1_->setEnabled(model_->Enabled() && model_->configProblem().empty());
    updateGeometry();
}

QSize BitsWidget::sizeHint() const
{
    return combo1_->sizeHint();
}

bool BitsWidget::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == combo1_ && e->type() == QEvent::MouseButtonDblClick) {
        emit DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace kova
