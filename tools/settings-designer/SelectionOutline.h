#pragma once
// Drawn over the designer's page: each placed control's instance name and
// register, and an outline round the selected controls. A name that does
// not fit its control is cut short with "…" (the full text is the
// control's tooltip), so no name covers a neighbour or runs off the page.
// The editors keep their own texts, so the page keeps the widths it has in
// use.

#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kova {

class SetpointPageView;

class SelectionOutline : public QWidget {
    Q_OBJECT
public:
    explicit SelectionOutline(SetpointPageView* view);

    // The selected controls, outlined.
    std::vector<std::string> names;
    // Each placed control with the text drawn over it.
    std::function<std::vector<std::pair<std::string, QString>>()> labels;

    // A label as drawn: where, the text shown and the whole text.
    struct Tag {
        std::string control;
        QRect box;
        QString shown;
        QString full;
    };
    std::vector<Tag> tags() const;
    // The whole label of the shown control at a point of the page, when
    // its drawn text is cut short; "" otherwise.
    QString cutLabelAt(const QPoint& viewPos) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QFont labelFont() const;

    SetpointPageView* view_;
};

} // namespace kova
