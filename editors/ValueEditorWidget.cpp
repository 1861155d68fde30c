#include "editors/ValueEditorWidget.h"

#include "editors/CalculadoraWindow.h"
#include "editors/UpDownArrows.h"
#include "platform/HeldText.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QToolButton>

namespace kova {

namespace {

constexpr int kArrowsWidth = 17;  // 255 twips at 15 twips a pixel
constexpr float kTwipsPerPixel = 15.0f;

} // namespace

ValueEditorWidget::ValueEditorWidget(std::unique_ptr<ValueEditorModel> model, bool relayMouse,
                                     QWidget* parent)
    : QWidget(parent), owned_(std::move(model)), model_(owned_.get()), relayMouse_(relayMouse),
      text1_(new QLineEdit(this)), upDown1_(new UpDownArrows(this))
{
    bind();
}

ValueEditorWidget::ValueEditorWidget(ValueEditorModel& model, bool relayMouse, QWidget* parent)
    : QWidget(parent), model_(&model), relayMouse_(relayMouse), text1_(new QLineEdit(this)),
      upDown1_(new UpDownArrows(this))
{
    bind();
}

void ValueEditorWidget::bind()
{
    text1_->setObjectName("Text1");
    upDown1_->setObjectName("UpDown1");
    text1_->setReadOnly(true);
    text1_->setText(QString::fromStdString(model_->Text()));
    keepHeldText(*text1_, [this] { return QString::fromStdString(model_->Text()); });
    text1_->installEventFilter(this);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resize(144, 21);

    prevTextShown_ = model_->onTextShown;
    prevChange_ = model_->onChange;
    prevClick_ = model_->onClick;
    prevKeypadRunner_ = model_->keypadRunner;
    model_->onTextShown = [this] {
        if (prevTextShown_)
            prevTextShown_();
        text1_->setText(QString::fromStdString(model_->Text()));
        updateGeometry();
    };
    model_->onChange = [this] {
        if (prevChange_)
            prevChange_();
        emit Change();
    };
    model_->onClick = [this] {
        if (prevClick_)
            prevClick_();
        emit Click();
    };
    model_->keypadRunner = [this] { CalculadoraWindow::run(this); };

    connect(upDown1_, &UpDownArrows::up, this, [this] {
        if (isEnabled())
            model_->arrowUp();
    });
    connect(upDown1_, &UpDownArrows::down, this, [this] {
        if (isEnabled())
            model_->arrowDown();
    });
    applyLook();
}

ValueEditorWidget::~ValueEditorWidget()
{
    model_->onTextShown = prevTextShown_;
    model_->onChange = prevChange_;
    model_->onClick = prevClick_;
    model_->keypadRunner = prevKeypadRunner_;
}

QWidget* ValueEditorWidget::nameParts(const QString& name)
{
    text1_->setAccessibleName(name);
    upDown1_->upButton()->setAccessibleName(name + QStringLiteral(" up"));
    upDown1_->downButton()->setAccessibleName(name + QStringLiteral(" down"));
    return text1_;
}

bool ValueEditorWidget::Inicializacion()
{
    return model_->Inicializacion();
}

QString ValueEditorWidget::valor() const
{
    return QString::fromStdString(model_->valor());
}

QString ValueEditorWidget::Text() const
{
    return QString::fromStdString(model_->Text());
}

void ValueEditorWidget::setText(const QString& t)
{
    model_->setText(t.toStdString());
}

void ValueEditorWidget::setEnabled(bool e)
{
    if (model_->Enabled() != e)
        model_->setEnabled(e);
    QWidget::setEnabled(e);
}

int ValueEditorWidget::BorderStyle() const
{
    return text1_->hasFrame() ? 1 : 0;
}

int ValueEditorWidget::Alignment() const
{
    const Qt::Alignment a = text1_->alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignRight)
        return 1;
    if (a & Qt::AlignHCenter)
        return 2;
    return 0;
}

std::vector<std::string> ValueEditorWidget::loadSettings(const PropertyBag& bag)
{
    auto bad = model_->loadSettings(bag);
    applyLook();
    return bad;
}

QColor ValueEditorWidget::storedColor(std::uint32_t c, const QPalette& palette)
{
    if (c & 0x80000000u) {
        switch (c & 0xFFu) {
        case 0x05:
            return palette.color(QPalette::Base);
        case 0x08:
            return palette.color(QPalette::Text);
        case 0x0F:
            return palette.color(QPalette::Button);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

void ValueEditorWidget::applyLook()
{
    QPalette p = text1_->palette();
    p.setColor(QPalette::Base, storedColor(model_->textBackColor(), QApplication::palette()));
    text1_->setPalette(p);
    QFont f = text1_->font();
    if (!model_->font().empty())
        f.fromString(QString::fromStdString(model_->font()));
    if (model_->fontSize() > 0 && model_->fontSize() != 8.25)
        f.setPointSizeF(model_->fontSize());
    text1_->setFont(f);
    setEnabled(model_->Enabled());
    upDown1_->setEnabled(!model_->readOnly());
    text1_->setText(QString::fromStdString(model_->Text()));
    updateGeometry();
}

QSize ValueEditorWidget::sizeHint() const
{
    // A line edit's own hint makes room for 17 'x'; this one makes room for
    // the widest text the editor can show instead (and a cursor's width).
    const QFontMetrics fm(text1_->font());
    int widest = fm.horizontalAdvance(text1_->text());
    for (const std::string& t : model_->extremeTexts())
        widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(t)));
    const QSize lineEdit = text1_->sizeHint();
    const int frame = lineEdit.width() - 17 * fm.horizontalAdvance(QLatin1Char('x'));
    return {frame + widest + 2 + kArrowsWidth, lineEdit.height()};
}

void ValueEditorWidget::changeEvent(QEvent* e)
{
    // Only this control's own state counts, not one inherited from a parent.
    const bool own = !testAttribute(Qt::WA_ForceDisabled);
    if (e->type() == QEvent::EnabledChange && model_->Enabled() != own)
        model_->setEnabled(own);
    QWidget::changeEvent(e);
}

void ValueEditorWidget::resizeEvent(QResizeEvent*)
{
    emit Resize();
    const int textWidth = std::max(0, width() - kArrowsWidth);
    text1_->setGeometry(0, 0, textWidth, height());
    upDown1_->setGeometry(textWidth, 0, kArrowsWidth, height());
}

void ValueEditorWidget::openKeypad()
{
    if (isEnabled())
        model_->keypad();
}

bool ValueEditorWidget::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != text1_)
        return QWidget::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
            openKeypad();
            return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        emit DblClick();
        return true;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            openKeypad();
            return true;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            if (isEnabled())
                key == Qt::Key_Up ? model_->arrowUp() : model_->arrowDown();
            return true;
        }
        break;
    }
    case QEvent::Wheel:
        return true;  // no accidental changes of protection settings
    default:
        break;
    }
    return QWidget::eventFilter(watched, e);
}

void ValueEditorWidget::relay(QMouseEvent* e, int kind)
{
    if (!relayMouse_)
        return;
    int button = 0;
    const Qt::MouseButtons b = kind == 1 ? e->buttons() : (e->buttons() | e->button());
    if (b & Qt::LeftButton)
        button |= 1;
    if (b & Qt::RightButton)
        button |= 2;
    if (b & Qt::MiddleButton)
        button |= 4;
    int shift = 0;
    if (e->modifiers() & Qt::ShiftModifier)
        shift |= 1;
    if (e->modifiers() & Qt::ControlModifier)
        shift |= 2;
    if (e->modifiers() & Qt::AltModifier)
        shift |= 4;
    const float x = static_cast<float>(e->position().x()) * kTwipsPerPixel;
    const float y = static_cast<float>(e->position().y()) * kTwipsPerPixel;
    if (kind == 0)
        emit MouseDown(button, shift, x, y);
    else if (kind == 1)
        emit MouseMove(button, shift, x, y);
    else
        emit MouseUp(button, shift, x, y);
}

void ValueEditorWidget::mousePressEvent(QMouseEvent* e) { relay(e, 0); }
void ValueEditorWidget::mouseMoveEvent(QMouseEvent* e) { relay(e, 1); }
void ValueEditorWidget::mouseReleaseEvent(QMouseEvent* e) { relay(e, 2); }

} // namespace kova
