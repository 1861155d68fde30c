#pragma once
// The window of any setpoint page, built from its form over its model
// (SetpointPage): one group box per frame, the frames side by side in form
// order and level at the top, each with its columns of caption + control
// rows (a relay row's boxes left to right, lines as separators, a sub-frame
// in the place of the row it lies over: exactly one of the two shows), STORE
// left of EXIT just below, all in the window's top left corner. A column's
// controls are as wide as its widest text asks; a caption stands on the
// baseline of its control's text; a hidden row keeps its place.
// The model does all the work; the window shows what it says and passes
// user actions on.
//
// Use:
//   SetpointPage page(form, host);
//   SetpointPageView view(page, mainWindow);  // sized and placed from mainWindow
//   page.Form_Load();
//   view.exec();                              // returns once the page closed
// The window is application-modal and no child of the main window. It is
// as wide as the screen and 1500 twips lower than the main window (at least
// its size hint). While the model takes no input the frames and STORE are
// disabled (never the editors' own Enabled), EXIT only while a store runs.
// Tab order is the form's order (frames, columns, rows, boxes left to
// right; hidden rows skipped), then STORE, then EXIT; when the page becomes
// usable the focus is on its first enabled control. Escape and the frame's close are EXIT.
// A screen reader names each control by its row's caption, a relay box by
// that caption followed by the box's own.

#include "pages/SetpointPage.h"

#include <QDialog>

#include <map>
#include <string>
#include <vector>

class QGridLayout;
class QPushButton;

namespace kova {

class EqualWidths;

class SetpointPageView : public QDialog {
    Q_OBJECT
public:
    SetpointPageView(SetpointPage& page, QWidget* mainWindow);
    ~SetpointPageView() override;

    SetpointPage& page() { return page_; }
    // The widget of a control, box, caption, line or frame by instance name.
    QWidget* widget(const std::string& name) const;
    QPushButton* Command1() const { return store_; }
    QPushButton* Command2() const { return exit_; }
    // The focusable widgets in tab order (STORE and EXIT last).
    const std::vector<QWidget*>& tabChain() const { return chain_; }

    // Design mode (a settings designer shows the page): every control is
    // inert - no child takes the mouse (clicks reach the window itself) or
    // the focus, so no keypad opens, no arrow steps and no image is read or
    // written - while the frames look as they do in use; Escape does not
    // close the page. The page is made at least as large as it asks to be.
    void setDesignMode();
    bool designMode() const { return design_; }

    void setVisible(bool visible) override;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void build();
    QGridLayout* buildColumn(const std::vector<PageForm::Row>& column);
    QWidget* makeControl(const std::string& name);
    void place(QWidget* mainWindow);
    void showVisibility(const std::string& name);
    void showState(const std::string& name);
    void showUsable();

    SetpointPage& page_;
    std::map<std::string, QWidget*> widgets_;
    std::vector<QWidget*> frames_;
    std::vector<EqualWidths*> widthGroups_;  // the controls of each column
    std::vector<QWidget*> chain_;
    QPushButton* store_ = nullptr;
    QPushButton* exit_ = nullptr;
    bool wasUsable_ = false;
    bool design_ = false;
};

} // namespace kova
