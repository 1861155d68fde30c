#pragma once
// The fields of a property page as widgets: a caption label (the field's
// buddy) and a one-line text box or a pick-only list per field, kept in
// line with the page's state. A list whose stored value is no item is
// outlined in red. Text fields are wide enough for the values they hold.

#include "editors/PropertyPage.h"

#include <QWidget>

#include <map>
#include <string>

class QLabel;

namespace kova {

class PropertyPageWidget : public QWidget {
    Q_OBJECT
public:
    PropertyPageWidget(PropertyPage& page, QWidget* parent = nullptr);

    // The field widget and caption label of a property.
    QWidget* field(const std::string& property) const { return fields_.at(property); }
    QLabel* caption(const std::string& property) const { return captions_.at(property); }

signals:
    void edited(const QString& property);  // the user changed a field

private:
    void show(const std::string& property);

    PropertyPage& page_;
    std::map<std::string, QWidget*> fields_;
    std::map<std::string, QLabel*> captions_;
};

} // namespace kova
