#pragma once
// Widget of the bit-field selector: a pick-only drop-down list over the
// Bits model. The list shows no selection until Inicializacion. In a
// layout it asks for the room its longest item needs; the list keeps to
// the widget's rectangle. The model
// is the widget's own, or one a page holds: then hooks the page set on it
// keep running before the widget's, and are back alone once it is gone.

#include "editors/Bits.h"
#include "editors/PropertyBag.h"

#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;

namespace kova {

class BitsWidget : public QWidget {
    Q_OBJECT
public:
    explicit BitsWidget(QWidget* parent = nullptr);
    // Over a model the caller keeps (it must outlive the widget).
    explicit BitsWidget(Bits& model, QWidget* parent = nullptr);
    ~BitsWidget() override;

    Bits& model() { return *model_; }
    QComboBox* Combo1() const { return combo1_; }
    // The list takes `name` as its name and an unseen label of that text
    // whose buddy it is: Qt on Linux reads a list's current item as its
    // name, and a screen reader names it from a label among its siblings,
    // which the caption shown beside this widget is not. Returns the list,
    // the part a caption label is the buddy of.
    QWidget* nameParts(const QString& name);

    bool Crear_Items() { return model_->Crear_Items(); }
    bool Inicializacion() { return model_->Inicializacion(); }
    int ListIndex() const { return model_->ListIndex(); }
    int ListCount() const { return model_->ListCount(); }
    QString valor() const { return QString::fromStdString(model_->valor()); }

    std::vector<std::string> loadSettings(const PropertyBag& bag);
    void saveSettings(PropertyBag& bag) const { model_->saveSettings(bag); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void Click();
    void DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void showItems();
    void showSelection();
    void applyLook();
    void bind();

    std::unique_ptr<Bits> owned_;
    Bits* model_;
    std::function<void()> prevItemsAppended_, prevSelectionShown_, prevClick_;
    QComboBox* combo1_;
    QLabel* spokenCaption_ = nullptr;
};

} // namespace kova
