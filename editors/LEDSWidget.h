#pragma once
// Widget of the blinking lamp: the lit and the dark lamp painted to the
// widget's size, swapped by a timer while the link is online.

#include "editors/LEDS.h"
#include "editors/PropertyBag.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace kova {

class LEDSWidget : public QWidget {
    Q_OBJECT
public:
    explicit LEDSWidget(QWidget* parent = nullptr);
    ~LEDSWidget() override;

    LEDS& model() { return model_; }
    QTimer* Timer1() { return &timer1_; }

    // The link state read at every tick (offline when not set).
    std::function<bool()> comunicando;

    std::vector<std::string> loadSettings(const PropertyBag& bag);
    void saveSettings(PropertyBag& bag) const { model_.saveSettings(bag); }

    // The lit (Image1) or dark (Image2) picture at the widget's size.
    QImage picture(bool lit) const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void followTimer();

    LEDS model_;
    QTimer timer1_;
};

} // namespace kova
