// Every setpoint page at every choice of its selectors: no visible rows overlap, nothing is smaller than it asks.

#include "SetpointViewFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>
#include <set>

using namespace kova;

class tst_SetpointPageViewLayout : public QObject, kova::test::SetpointViewFixture {
    Q_OBJECT
    struct ShownRow {
        QString name;
        std::vector<QWidget*> parts;
        QWidget* field = nullptr;
        QRect placed;
    };
    std::vector<ShownRow> rows_;  // caption (or line) and control(s), the widget drawing the text, where it opened
    std::set<QString> shown_;  // the rows the last check saw

    QRect rectOf(const QWidget* w) const { return QRect(w->mapTo(view.get(), QPoint(0, 0)), w->size()); }
    QRect rectOf(const ShownRow& row) const
    {
        QRect r;
        for (const QWidget* w : row.parts)
            r |= rectOf(w);
        return r;
    }
    void collectRows()
    {
        rows_.clear();
        for (const PageForm::Frame& frame : page->form().frames)
            for (const auto& column : frame.columns)
                for (const PageForm::Row& row : column) {
                    const std::string& name = row.kind == PageForm::RowKind::Line ? row.control : row.label;
                    ShownRow s{QString::fromStdString(name), {view->widget(name)}};
                    if (row.kind == PageForm::RowKind::Boxes) {
                        for (int b = 0; b < 4; ++b)
                            s.parts.push_back(view->widget(PageForm::boxName(row.control, 4 * row.group + b)));
                    } else if (row.kind != PageForm::RowKind::Line) {
                        s.parts.push_back(s.field = view->widget(row.control));
                        if (auto* e = qobject_cast<ValueEditorWidget*>(s.field))
                            s.field = e->Text1();
                        if (auto* b = qobject_cast<BitsWidget*>(s.field))
                            s.field = b->Combo1();
                    }
                    s.placed = rectOf(s);
                    rows_.push_back(s);
                }
    }
    void checkLayout(const QString& where)
    {
        std::vector<const ShownRow*> shown;
        shown_.clear();
        for (const ShownRow& row : rows_) {
            const QString at = where + ": " + row.name;
            QVERIFY2(rectOf(row) == row.placed, qPrintable(at + " moved"));
            if (!row.parts.front()->isVisible())
                continue;
            shown.push_back(&row);
            shown_.insert(row.name);
            for (QWidget* w : row.parts)
                QVERIFY2(w->isVisible() && w->width() >= w->sizeHint().width() && w->height() >= w->sizeHint().height(),
                    qPrintable(at + ": " + w->objectName() + " is hidden or smaller than it asks"));
            QVERIFY2(!row.field
                    || (rectOf(row.parts[1]).contains(rectOf(row.field))
                        && row.field->height() >= row.field->sizeHint().height()),
                qPrintable(at + " spills out of its control or is cut"));
        }
        for (std::size_t i = 0; i < shown.size(); ++i)
            for (std::size_t j = i + 1; j < shown.size(); ++j)
                QVERIFY2(!rectOf(*shown[i]).intersects(rectOf(*shown[j])),
                    qPrintable(where + ": " + shown[i]->name + " overlaps " + shown[j]->name));
    }

private slots:
    void init() { makeHost(); }
    void cleanup() { dropView(); }

    void rowsKeepTheirPlaces_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("selectors");  // the selectors whose choice shows or hides rows
        QTest::newRow("system setup") << "SETPAGE2" << QStringList{"Combo1", "Page1C(4)"};
        QTest::newRow("phase") << "SETPAGE3" << QStringList{"Page3C(0)", "Page3C(1)"};
        QTest::newRow("ground") << "SETPAGE13" << QStringList{"Page3C(0)"};
        QTest::newRow("output relays") << "SETPAGE17"
                                       << QStringList{"Page1C(0)", "Page1C(1)", "Page1C(2)", "Page1C(3)"};
        for (const char* f : {"SETPAGE14", "SETPAGE15", "SETPAGE16", "SETPAGE4", "SETPAGE9"})
            QTest::newRow(f) << f << QStringList{};
    }
    void rowsKeepTheirPlaces()
    {
        QFETCH(QString, form);
        QFETCH(QStringList, selectors);
        makeView(form.toLatin1().constData());
        page->Form_Load();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QTest::qWait(100);  // lists resize themselves to their items on a timer
        collectRows();
        for (const PageForm::Rule& rule : page->form().rules)  // the table names every selector a rule follows
            QVERIFY2(selectors.contains(QString::fromStdString(rule.selector)), rule.selector.c_str());
        checkLayout(form + " as opened");
        for (const QString& selector : selectors) {
            QWidget* w = view->widget(selector.toStdString());
            QComboBox* list
                = qobject_cast<BitsWidget*>(w) ? qobject_cast<BitsWidget*>(w)->Combo1() : qobject_cast<QComboBox*>(w);
            std::set<std::set<QString>> seen;
            for (int k = 0; k < list->count(); ++k) {
                list->setCurrentIndex(k), emit list->activated(k);
                checkLayout(form + QString(" %1 item %2").arg(selector).arg(k));
                seen.insert(shown_);
            }
            QVERIFY2(seen.size() > 1, qPrintable(selector + " shows and hides no row"));
        }
    }
};

QTEST_MAIN(tst_SetpointPageViewLayout)
#include "tst_SetpointPageViewLayout.moc"
