#include "pages/ValuePageView.h"

#include "pages/PagePlacement.h"
#include "platform/EnterPress.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace kova {

namespace {

constexpr int kTwipsPerInch = 1440;

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

ValuePageView::ValuePageView(ValuePage& page, QWidget* parent) : QDialog(parent), page_(page)
{
    setObjectName(q(page_.form().form));
    setWindowTitle(q(page_.form().caption));
    setWindowModality(Qt::ApplicationModal);
    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(page_.interval());
    connect(Timer1_, &QTimer::timeout, this, [this] { page_.Timer1_Timer(); });
    build();
    page_.setListener(this);
    redrawn();
}

ValuePageView::~ValuePageView() { page_.setListener(nullptr); }

int ValuePageView::px(int twips) const
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * logicalDpiY() / kTwipsPerInch));
}

void ValuePageView::build()
{
    const PageForm& form = page_.form();
    auto newLabel = [this](QWidget* parent, const std::string& name) {
        auto* l = new QLabel(q(page_.text(name)), parent);
        l->setObjectName(q(name));
        labels_[q(name)] = l;
        return l;
    };
    for (const PageForm::Frame& f : form.frames) {
        auto* box = new QGroupBox(q(f.caption), this);
        box->setObjectName(q(f.name));
        controls_[q(f.name)] = box;
        auto* grid = new QGridLayout(box);
        grid->setHorizontalSpacing(px(120));
        int row = 0;
        int columns = 1;
        for (const ValueRow& r : f.rows) {
            int c = 1;
            for (const auto& cell : r.cells)
                c += static_cast<int>(cell.size());
            columns = std::max(columns, c);
        }
        if (!f.headers.empty() && !f.rows.empty()) {
            int column = 1;
            const auto& cells = f.rows.front().cells;
            for (std::size_t h = 0; h < f.headers.size(); ++h) {
                const int span = h < cells.size() ? static_cast<int>(cells[h].size()) : 1;
                grid->addWidget(newLabel(box, f.headers[h]), row, column, 1, span, Qt::AlignLeft);
                column += span;
            }
            ++row;
        }
        for (const ValueRow& r : f.rows) {
            if (!r.separator.empty()) {
                auto* line = new QFrame(box);
                line->setObjectName(q(r.separator));
                line->setFrameShape(QFrame::HLine);
                line->setFrameShadow(QFrame::Sunken);
                controls_[q(r.separator)] = line;
                grid->addWidget(line, row++, 0, 1, columns);
                continue;
            }
            grid->addWidget(newLabel(box, r.label), row, 0);
            int column = 1;
            for (const auto& cell : r.cells)
                for (const std::string& name : cell) {
                    QLabel* l = newLabel(box, name);
                    // Numbers right-aligned over their units; texts and stamps left.
                    const auto bound = form.values.find(name);
                    const bool measured = bound != form.values.end() && bound->second.unidad;
                    l->setAlignment((measured ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
                    l->setMinimumWidth(px(splitInstance(name).first == "LblUni" ? 600 : 1000));
                    grid->addWidget(l, row, column++);
                }
            ++row;
        }
        box->adjustSize();
        box->move(px(f.at.left), px(f.at.top));
    }
    QPushButton* first = nullptr;
    for (const ValueButton& b : form.buttons) {
        auto* button = new QPushButton(q(b.caption), this);
        button->setObjectName(q(b.name));
        pressOnEnter(*button);
        button->resize(std::max(button->sizeHint().width(), px(1215)), std::max(button->sizeHint().height(), px(375)));
        button->move(px(b.at.left), px(b.at.top));
        controls_[q(b.name)] = button;
        const bool sends = form.clear && b.name == form.clear->button;
        if (b.name == "Okey")
            connect(button, &QPushButton::clicked, this, [this] { page_.Okey_Click(); });
        else if (sends)
            connect(button, &QPushButton::clicked, this, [this] { page_.Clear_Click(); });
        if (!sends && !first)
            first = button;
    }
    // The focus starts on the first button that sends the relay nothing
    // (OK), whatever the form's order, and it comes first in the tab order:
    // Enter pressed at once never clears a record.
    if (first) {
        first->setFocus(Qt::OtherFocusReason);
        for (const auto& [name, w] : controls_)
            if (w != first && qobject_cast<QPushButton*>(w))
                setTabOrder(first, w);
    }
}

QLabel* ValuePageView::label(const QString& name) const
{
    const auto it = labels_.find(name);
    return it == labels_.end() ? nullptr : it->second;
}

QWidget* ValuePageView::control(const QString& name) const
{
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void ValuePageView::load(const QWidget* mainWindow)
{
    page_.Form_Load();
    if (!page_.sized())
        return;
    placeUnderMainWindow(*this, mainWindow);
    // A value page keeps its whole width also on a narrow screen.
    if (width() < sizeHint().width())
        resize(sizeHint().width(), height());
}

QSize ValuePageView::sizeHint() const
{
    return covered(false);
}

QSize ValuePageView::minimumSizeHint() const
{
    return covered(true);
}

QSize ValuePageView::covered(bool shownOnly) const
{
    // The frames and buttons stand at fixed places: everything they cover,
    // with a margin to the right and below.
    QRect contents;
    for (const auto& [name, w] : controls_)
        if (w->parentWidget() == this && !(shownOnly && w->isHidden()))
            contents |= w->geometry();
    return {contents.right() + px(240), contents.bottom() + px(240)};
}

void ValuePageView::timerChanged()
{
    if (page_.timerEnabled())
        Timer1_->start();
    else
        Timer1_->stop();
}

void ValuePageView::redrawn()
{
    for (const auto& [name, l] : labels_)
        l->setText(q(page_.text(name.toStdString())));
    for (const auto& [name, w] : controls_) {
        if (w->parentWidget() != this)
            continue;
        w->setVisible(page_.visible(name.toStdString()));
        w->move(w->x(), px(page_.top(name.toStdString())));
        // A frame grows with longer texts (never shrinks, so it keeps still).
        if (qobject_cast<QGroupBox*>(w))
            w->resize(w->sizeHint().expandedTo(w->size()));
    }
    // The page is never made smaller than what shows every reading and
    // button: the controls stand at fixed places, no layout keeps them.
    setMinimumSize(minimumSizeHint());
}

void ValuePageView::closing()
{
    Timer1_->stop();
    if (closing_)
        return;
    closing_ = true;
    done(QDialog::Accepted);
}

void ValuePageView::closeEvent(QCloseEvent* event)
{
    if (!page_.closed())
        page_.closeByFrame(); // hides the page through closing()
    event->accept();
}

void ValuePageView::reject()
{
    if (!page_.closed())
        page_.closeByFrame();
    else
        QDialog::reject();
}

} // namespace kova
