#include "PropertyPageWidget.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace kova {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

PropertyPageWidget::PropertyPageWidget(PropertyPage& page, QWidget* parent) : QWidget(parent), page_(page)
{
    const PropertyPageDef& def = page_.def();
    auto* columns = new QHBoxLayout(this);
    auto* grid = new QGridLayout;
    QGridLayout* names = nullptr;
    columns->addLayout(grid);
    int row = 0, nameRow = 0;
    for (const PropertyPageDef::Field& f : def.fields) {
        QWidget* w = nullptr;
        const std::string property = f.property;
        if (f.kind == PropertyPageDef::Kind::Text || f.kind == PropertyPageDef::Kind::Items) {
            auto* e = new QLineEdit;
            // Titles are the longest values; the others are numbers, patterns and units.
            const int chars = property == "Titulo" ? 40 : 20;
            e->setMinimumWidth(e->fontMetrics().averageCharWidth() * chars);
            connect(e, &QLineEdit::textEdited, this, [this, property](const QString& t) {
                page_.setText(property, t.toStdString());
                emit edited(q(property));
            });
            w = e;
        } else {
            auto* c = new QComboBox;
            for (const std::string& item : def.items(f))
                c->addItem(q(item));
            c->setCurrentIndex(-1);
            connect(c, &QComboBox::activated, this, [this, property](int k) {
                page_.pick(property, k);
                emit edited(q(property));
            });
            w = c;
        }
        w->setObjectName(q(f.name));
        auto* label = new QLabel(q(f.caption));
        label->setObjectName(f.kind == PropertyPageDef::Kind::High ? QStringLiteral("LblHigh")
                                                                   : QStringLiteral("Lbl") + q(f.name));
        label->setBuddy(w);
        fields_[property] = w;
        captions_[property] = label;
        const bool isName = property.rfind("Nombre", 0) == 0;
        if (isName && !names) {
            names = new QGridLayout;
            columns->addLayout(names);
        }
        QGridLayout* g = isName ? names : grid;
        int& r = isName ? nameRow : row;
        g->addWidget(label, r, 0);
        g->addWidget(w, r++, 1);
        show(property);
    }
    grid->setRowStretch(row, 1);
    if (names)
        names->setRowStretch(nameRow, 1);
    page_.onField = [this](const std::string& property) { show(property); };
}

void PropertyPageWidget::show(const std::string& property)
{
    QWidget* w = fields_.at(property);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != q(page_.text(property)))
            e->setText(q(page_.text(property)));
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        const QSignalBlocker block(c);
        c->setCurrentIndex(page_.listIndex(property));
    }
    w->setEnabled(page_.enabled(property));
    const bool visible = page_.visible(property);
    w->setVisible(visible);
    captions_.at(property)->setVisible(visible);
    const bool marked = page_.marked(property);
    w->setStyleSheet(marked ? QStringLiteral("QComboBox { border: 2px solid red; }") : QString());
    w->setToolTip(marked ? QStringLiteral("The stored value is no item of this list: pick one") : QString());
}

} // namespace kova
