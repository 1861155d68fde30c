#pragma once
// The widget of a value editor: a read-only text field (a click, Enter or
// Space opens the keypad) and the up/down arrows beside it, over a value
// model that does the work. In a layout it asks for the room its widest
// text needs and keeps a line edit's height. Events of the model come out as signals.
// The model is the widget's own, or one a page holds: then hooks the page
// set on it keep running before the widget's, and are back alone once the
// widget is gone.

#include "editors/PropertyBag.h"
#include "editors/ValueEditorModel.h"

#include <QWidget>
#include <memory>

class QLineEdit;

namespace kova {

class UpDownArrows;

class ValueEditorWidget : public QWidget {
    Q_OBJECT
public:
    ~ValueEditorWidget() override;

    ValueEditorModel& editor() { return *model_; }
    const ValueEditorModel& editor() const { return *model_; }

    QLineEdit* Text1() const { return text1_; }
    UpDownArrows* UpDown1() const { return upDown1_; }
    // A screen reader reads the text as `name` and the arrows as `name`
    // followed by "up" and "down". Returns the text, the part a caption
    // label is the buddy of.
    QWidget* nameParts(const QString& name);

    // What the windows use.
    bool Inicializacion();
    QString valor() const;
    QString Text() const;
    void setText(const QString& t);
    int Value() const { return model_->Value(); }
    void setValue(int v) { model_->setValue(v); }
    void Refresh() { update(); }
    // The control's own enabled state, kept in the settings.
    void setEnabled(bool e);
    // Text1's border (1 framed, 0 none) and alignment (0 left, 1 right, 2 centre).
    int BorderStyle() const;
    int Alignment() const;

    // Persisted settings: loading applies the text field's look too.
    std::vector<std::string> loadSettings(const PropertyBag& bag);
    void saveSettings(PropertyBag& bag) const { model_->saveSettings(bag); }

    // Colour value as stored (0x00BBGGRR, or a system colour 0x800000nn).
    static QColor storedColor(std::uint32_t c, const QPalette& palette);

    // Wide enough for the text shown and the texts at both limits, with the
    // arrows beside it; as high as a line edit.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void Change();
    void Click();
    void DblClick();
    void Resize();
    void MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);

protected:
    ValueEditorWidget(std::unique_ptr<ValueEditorModel> model, bool relayMouse, QWidget* parent);
    ValueEditorWidget(ValueEditorModel& model, bool relayMouse, QWidget* parent);

    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void applyLook();
    void openKeypad();
    void relay(QMouseEvent* e, int kind);

    void bind();

    std::unique_ptr<ValueEditorModel> owned_;
    ValueEditorModel* model_;
    // The model's hooks before this widget bound it.
    std::function<void()> prevTextShown_, prevChange_, prevClick_, prevKeypadRunner_;
    bool relayMouse_;
    QLineEdit* text1_;
    UpDownArrows* upDown1_;
};

} // namespace kova
