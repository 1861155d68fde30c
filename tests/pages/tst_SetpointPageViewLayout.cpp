// How every setpoint page's window lays out its rows, for every choice of
// the selectors that show or hide rows: no two visible rows overlap, no
// caption or control is smaller than it asks to be, a field keeps to its
// control and a row stays where it is when another row hides.

#include "SetpointViewFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include <set>

using namespace kova;
using kova::test::SetpointViewFixture;

class tst_SetpointPageViewLayout : public QObject, SetpointViewFixture {
    Q_OBJECT

    // One row of a frame's column: its name (caption, or line), its caption
    // and control(s), and the widget the control's text is drawn in.
    struct ShownRow {
        QString name;
        std::vector<QWidget*> parts;
        QWidget* field = nullptr;
    };
    std::vector<ShownRow> rows_;
    std::map<QString, QRect> placed_;  // where each row is as the page opens
    std::set<QString> shown_;          // the rows the last check saw

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
        placed_.clear();
        for (const PageForm::Frame& frame : page->form().frames)
            for (const auto& column : frame.columns)
                for (const PageForm::Row& row : column) {
                    const bool line = row.kind == PageForm::RowKind::Line;
                    ShownRow s{QString::fromStdString(line ? row.control : row.label),
                               {view->widget(line ? row.control : row.label)}};
                    if (row.kind == PageForm::RowKind::Boxes) {
                        for (int b = 0; b < 4; ++b)
                            s.parts.push_back(view->widget(PageForm::boxName(row.control, 4 * row.group + b)));
                    } else if (!line) {
                        s.parts.push_back(view->widget(row.control));
                        s.field = s.parts[1];
                        if (auto* e = qobject_cast<ValueEditorWidget*>(s.field))
                            s.field = e->Text1();
                        else if (auto* b = qobject_cast<BitsWidget*>(s.field))
                            s.field = b->Combo1();
                    }
                    for (QWidget* w : s.parts)
                        QVERIFY2(w, qPrintable(s.name));
                    placed_[s.name] = rectOf(s);
                    rows_.push_back(s);
                }
    }

    void checkLayout(const QString& where)
    {
        std::vector<const ShownRow*> shown;
        shown_.clear();
        for (const ShownRow& row : rows_) {
            const QString at = where + ": " + row.name;
            QVERIFY2(rectOf(row) == placed_.at(row.name), qPrintable(at + " moved"));
            if (!row.parts.front()->isVisible())
                continue;
            shown.push_back(&row);
            shown_.insert(row.name);
            for (QWidget* w : row.parts) {
                QVERIFY2(w->isVisible(), qPrintable(at + " shows only in part"));
                QVERIFY2(w->width() >= w->sizeHint().width() && w->height() >= w->sizeHint().height(),
                         qPrintable(at + QString(": %1 is smaller than it asks").arg(w->objectName())));
            }
            if (row.field) {
                QVERIFY2(rectOf(row.parts[1]).contains(rectOf(row.field)), qPrintable(at + " spills out of its control"));
                QVERIFY2(row.field->height() >= row.field->sizeHint().height(), qPrintable(at + " is cut"));
            }
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
        QTest::newRow("output relays")
            << "SETPAGE17" << QStringList{"Page1C(0)", "Page1C(1)", "Page1C(2)", "Page1C(3)"};
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
        // The table names every selector that a rule of the page follows.
        for (const PageForm::Rule& rule : page->form().rules)
            QVERIFY2(selectors.contains(QString::fromStdString(rule.selector)), rule.selector.c_str());

        checkLayout(form + " as opened");
        for (const QString& selector : selectors) {
            QWidget* w = view->widget(selector.toStdString());
            auto* bits = qobject_cast<BitsWidget*>(w);
            QComboBox* list = bits ? bits->Combo1() : qobject_cast<QComboBox*>(w);
            QVERIFY2(list, qPrintable(selector));
            std::set<std::set<QString>> seen;
            for (int k = 0; k < list->count(); ++k) {
                list->setCurrentIndex(k);
                emit list->activated(k);
                checkLayout(form + QString(" %1 item %2").arg(selector).arg(k));
                seen.insert(shown_);
            }
            QVERIFY2(seen.size() > 1, qPrintable(selector + " shows and hides no row"));
        }
    }

    // Embedded in the settings designer the page is not squeezed below what it asks.
    void designModePageIsNotSqueezed()
    {
        makeView("SETPAGE3");
        QVERIFY(view->width() < view->sizeHint().width());  // the test screen is narrower
        view->setDesignMode();
        QVERIFY(view->width() >= view->sizeHint().width());
        QVERIFY(view->height() >= view->sizeHint().height());
    }
};

QTEST_MAIN(tst_SetpointPageViewLayout)
#include "tst_SetpointPageViewLayout.moc"
