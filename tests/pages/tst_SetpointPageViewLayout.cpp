// How every setpoint page's window lays out its rows, for every choice of
// the selectors that show or hide rows: no two visible rows overlap, no
// caption or control is smaller than it asks to be, a row stays where it is
// when another row hides and when the window grows, captions stand on the
// baseline of the text beside them, frames line up at the top, controls are
// not stretched to the window and STORE/EXIT sit just below the frames.

#include "SetpointViewFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <set>

using namespace kova;
using kova::test::SetpointViewFixture;

namespace {

// One row of a frame's column as the window shows it.
struct ShownRow {
    QString name;                  // caption, or line
    std::vector<QWidget*> parts;   // caption and control(s), or the line
    QWidget* field = nullptr;      // where the control's text is drawn
};

} // namespace

class tst_SetpointPageViewLayout : public QObject, SetpointViewFixture {
    Q_OBJECT

    std::vector<ShownRow> rows_;

    QRect rectOf(const QWidget* w) const { return QRect(w->mapTo(view.get(), QPoint(0, 0)), w->size()); }

    QRect rectOf(const ShownRow& row) const
    {
        QRect r;
        for (const QWidget* w : row.parts)
            r = r.united(rectOf(w));
        return r;
    }

    // The widget holding the text of a control (the editor's field, the
    // selector's list, the combo box itself).
    static QWidget* fieldOf(QWidget* control)
    {
        if (auto* e = qobject_cast<ValueEditorWidget*>(control))
            return e->Text1();
        if (auto* b = qobject_cast<BitsWidget*>(control))
            return b->Combo1();
        return control;
    }

    void collectRows()
    {
        rows_.clear();
        const PageForm& form = page->form();
        for (const PageForm::Frame& frame : form.frames)
            for (const auto& column : frame.columns)
                for (const PageForm::Row& row : column) {
                    ShownRow s;
                    if (row.kind == PageForm::RowKind::Line) {
                        s.name = QString::fromStdString(row.control);
                        s.parts = {view->widget(row.control)};
                    } else {
                        s.name = QString::fromStdString(row.label);
                        s.parts = {view->widget(row.label)};
                        if (row.kind == PageForm::RowKind::Boxes) {
                            for (int b = 0; b < 4; ++b)
                                s.parts.push_back(view->widget(PageForm::boxName(row.control, 4 * row.group + b)));
                            s.field = s.parts[1];
                        } else {
                            s.parts.push_back(view->widget(row.control));
                            s.field = fieldOf(s.parts[1]);
                        }
                    }
                    for (QWidget* w : s.parts)
                        QVERIFY2(w, qPrintable(s.name));
                    rows_.push_back(s);
                }
    }

    std::map<QString, QRect> places() const
    {
        std::map<QString, QRect> p;
        for (const ShownRow& row : rows_)
            p[row.name] = rectOf(row);
        return p;
    }

    std::set<QString> shownRows() const
    {
        std::set<QString> s;
        for (const ShownRow& row : rows_)
            if (row.parts.front()->isVisible())
                s.insert(row.name);
        return s;
    }

    // Everything this test asks of the window as it is now; `where` names
    // the choice in failure messages.
    void checkLayout(const std::map<QString, QRect>& placed, const QString& where)
    {
        int widestControlHint = 0;
        for (const ShownRow& row : rows_)
            for (std::size_t i = 1; i < row.parts.size(); ++i)
                widestControlHint = qMax(widestControlHint, row.parts[i]->sizeHint().width());
        std::vector<const ShownRow*> shown;
        for (const ShownRow& row : rows_) {
            const QString at = where + ": " + row.name;
            QVERIFY2(rectOf(row) == placed.at(row.name), qPrintable(at + " moved"));
            if (!row.parts.front()->isVisible())
                continue;
            shown.push_back(&row);
            for (std::size_t i = 0; i < row.parts.size(); ++i) {
                QWidget* w = row.parts[i];
                QVERIFY2(w->isVisible(), qPrintable(at + " shows only in part"));
                QVERIFY2(w->width() >= w->sizeHint().width() && w->height() >= w->sizeHint().height(),
                         qPrintable(at + QString(": %1 is smaller than it asks").arg(w->objectName())));
                if (i > 0 && !qobject_cast<QCheckBox*>(w))
                    QVERIFY2(w->width() <= widestControlHint, qPrintable(at + " is stretched"));
            }
            if (!row.field)
                continue;
            // The field keeps to its control's rectangle and is not cut.
            const QRect control = rectOf(row.parts[1]);
            const QRect field = rectOf(row.field);
            QVERIFY2(control.contains(field), qPrintable(at + " spills out of its control"));
            if (qobject_cast<BitsWidget*>(row.parts[1]))
                QVERIFY2(field.width() == control.width(), qPrintable(at + ": the list does not fill its control"));
            QVERIFY2(field.height() >= row.field->sizeHint().height(), qPrintable(at + " is cut"));
            // The caption's text and the field's text share one baseline.
            const QRect caption = rectOf(row.parts[0]);
            QVERIFY2(qAbs(caption.center().y() - field.center().y()) <= 1,
                     qPrintable(at + QString(" caption at %1, text at %2")
                                         .arg(caption.center().y())
                                         .arg(field.center().y())));
        }
        for (std::size_t i = 0; i < shown.size(); ++i)
            for (std::size_t j = i + 1; j < shown.size(); ++j)
                QVERIFY2(!rectOf(*shown[i]).intersects(rectOf(*shown[j])),
                         qPrintable(where + ": " + shown[i]->name + " overlaps " + shown[j]->name));
    }

    // Picks item k of a selector or combo as the user does.
    void choose(const QString& name, int k)
    {
        QWidget* w = view->widget(name.toStdString());
        QComboBox* list = qobject_cast<QComboBox*>(w);
        if (auto* b = qobject_cast<BitsWidget*>(w))
            list = b->Combo1();
        QVERIFY2(list, qPrintable(name));
        list->setCurrentIndex(k);
        emit list->activated(k);
    }

    int itemCount(const QString& name) const
    {
        QWidget* w = view->widget(name.toStdString());
        if (auto* b = qobject_cast<BitsWidget*>(w))
            return b->Combo1()->count();
        return qobject_cast<QComboBox*>(w)->count();
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
        QTest::newRow("voltage") << "SETPAGE14" << QStringList{};
        QTest::newRow("frequency") << "SETPAGE15" << QStringList{};
        QTest::newRow("power") << "SETPAGE16" << QStringList{};
        QTest::newRow("output relays")
            << "SETPAGE17" << QStringList{"Page1C(0)", "Page1C(1)", "Page1C(2)", "Page1C(3)"};
        QTest::newRow("digital inputs") << "SETPAGE4" << QStringList{};
        QTest::newRow("event recorder") << "SETPAGE9" << QStringList{};
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

        const auto placed = places();
        checkLayout(placed, form + " as opened");
        for (const QString& selector : selectors) {
            std::set<std::set<QString>> seen;
            for (int k = 0; k < itemCount(selector); ++k) {
                choose(selector, k);
                seen.insert(shownRows());
                checkLayout(placed, form + QString(" %1 item %2").arg(selector).arg(k));
            }
            QVERIFY2(seen.size() > 1, qPrintable(selector + " shows and hides no row"));
        }

        // A larger window adds room around the frames and moves nothing.
        const QRect buttons = rectOf(view->Command1()).united(rectOf(view->Command2()));
        view->resize(view->width() + 400, view->height() + 300);
        QTRY_COMPARE(rectOf(view->Command1()).united(rectOf(view->Command2())), buttons);
        checkLayout(placed, form + " in a larger window");
    }

    void framesAndButtons_data()
    {
        QTest::addColumn<QString>("form");
        for (const char* f : {"SETPAGE2", "SETPAGE3", "SETPAGE13", "SETPAGE14", "SETPAGE15", "SETPAGE16",
                              "SETPAGE17", "SETPAGE4", "SETPAGE9"})
            QTest::newRow(f) << f;
    }

    // Frames start level with each other, whether they have a caption or
    // not, with their first rows level too; STORE and EXIT stand just below
    // the frames, centred under them.
    void framesAndButtons()
    {
        QFETCH(QString, form);
        makeView(form.toLatin1().constData());
        page->Form_Load();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        const PageForm& f = page->form();
        int framesBottom = 0, framesLeft = view->width(), framesRight = 0;
        std::set<int> firstRows;
        for (const PageForm::Frame& frame : f.frames) {
            const QRect box = rectOf(view->widget(frame.name));
            framesBottom = qMax(framesBottom, box.bottom());
            framesLeft = qMin(framesLeft, box.left());
            framesRight = qMax(framesRight, box.right());
            const PageForm::Row& first = frame.columns.front().front();
            firstRows.insert(rectOf(view->widget(first.label.empty() ? first.control : first.label)).top());
        }
        QCOMPARE(firstRows.size(), std::size_t{1});
        for (QPushButton* b : {view->Command1(), view->Command2()}) {
            const QRect r = rectOf(b);
            QVERIFY2(r.top() > framesBottom && r.top() - framesBottom <= 20,
                     qPrintable(QString("frames end at %1, %2 starts at %3").arg(framesBottom).arg(b->text()).arg(r.top())));
        }
        const int buttonsMiddle = rectOf(view->Command1()).united(rectOf(view->Command2())).center().x();
        QVERIFY(qAbs(buttonsMiddle - (framesLeft + framesRight) / 2) <= 1);
        QVERIFY(rectOf(view->Command1()).left() < rectOf(view->Command2()).left());
    }

    // In a settings designer the page is no window that its layout keeps
    // large enough: design mode makes it as large as it asks to be.
    void designModePageIsNotSqueezed()
    {
        makeView("SETPAGE3");
        QVERIFY(view->width() < view->sizeHint().width());  // the test screen is narrower
        view->setDesignMode();
        QVERIFY(view->width() >= view->sizeHint().width());
        QVERIFY(view->height() >= view->sizeHint().height());
    }

    // Two frames side by side: the one without a caption has its border
    // level with its captioned neighbour's and ends level with it.
    void uncaptionedFrameLevelWithItsNeighbour()
    {
        makeView("SETPAGE3");
        page->Form_Load();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QWidget* frame1 = view->widget("Frame1");
        QWidget* frame2 = view->widget("Frame2");
        QCOMPARE(rectOf(frame1).bottom(), rectOf(frame2).bottom());
        // The top border: the first dark line of each frame's picture.
        auto borderTop = [&](QWidget* frame) {
            const QImage picture = view->grab().toImage();
            const QRect r = rectOf(frame);
            const int x = r.left() + r.width() / 2;
            for (int y = r.top(); y <= r.bottom(); ++y)
                if (qGray(picture.pixel(x, y)) < qGray(view->palette().color(QPalette::Window).rgb()) - 20)
                    return y;
            return -1;
        };
        QVERIFY(borderTop(frame1) >= 0);
        QCOMPARE(borderTop(frame2), borderTop(frame1));
    }
};

QTEST_MAIN(tst_SetpointPageViewLayout)
#include "tst_SetpointPageViewLayout.moc"
