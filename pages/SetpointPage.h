#pragma once
// The model of a setpoint page, run from its form (PageForm) over a
// PageHost; no widgets. One model per control, by instance name.
//
// Use:
//   SetpointPage page(*loadPageForm("SETPAGE2"), host);
//   page.Form_Load();             // items, reads when online, shows the Get image
//   ... page.editor("PhaseCT(0)")->arrowUp(); page.clickBox("chkDiscrep(3)", true);
//   page.Command1_Click();        // STORE
//   page.Command2_Click();        // EXIT (or Form_Unload() for a frame close)
// A view (SetpointPageView) shows the same models and follows the hooks.
//
// Protocol:
// - Opening online (or while connecting) disables the main window and queues
//   the page's reads; the page is usable (controls, STORE) only once each of
//   them had a passed reply and no other read of those blocks waits, or the
//   link went offline; it then shows the Get image again. Edits can never
//   be overwritten by a read that arrives later.
// - Showing the Get image writes back what selectors, combos and boxes show:
//   selectors always, a combo or box only when its shown state changes. A
//   field value that names no item shows no selection and writes nothing.
// - STORE online is one store transaction (the host says how it ended); the
//   page takes no input until it ends, so the relay gets what was stored.
//   Offline it copies the whole Put image over the Get image. A page opened
//   online whose link has gone reports a communication error instead.
// - EXIT, a frame close and Escape restore the page's blocks from the Get
//   image, enable the main window and close the page.

#include "editors/Bits.h"
#include "editors/ValueEditorModel.h"
#include "pages/PageBehaviour.h"
#include "pages/PageForm.h"
#include "pages/PageHost.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kova {

class SetpointPage : public PageLinkListener {
public:
    static inline const std::string kGuardadoEnMemoria = "Setpoints were Saved to the Computer's Scratch memory";
    static inline const std::string kErrorComunicacion = " Communication Error...";

    SetpointPage(PageForm form, PageHost& host);
    ~SetpointPage() override;
    SetpointPage(const SetpointPage&) = delete;
    SetpointPage& operator=(const SetpointPage&) = delete;

    const PageForm& form() const { return form_; }

    // --- Protocol -------------------------------------------------------------
    void Form_Load();
    void Actualiza_Valores_de_Pantalla();
    void Command1_Click();  // STORE
    void Command2_Click();  // EXIT
    // Window-frame close or Escape: EXIT; refused (false) while a store runs.
    bool Form_Unload();

    bool loaded() const { return loaded_; }
    bool closed() const { return closed_; }
    bool openedOnline() const { return openedOnline_; }
    // The reads queued at opening are all answered (always true offline).
    bool readsDone() const { return !waitingReads_; }
    bool storing() const { return storing_; }
    // Controls and STORE take input; EXIT takes input.
    bool usable() const { return loaded_ && !closed_ && !waitingReads_ && !storing_; }
    bool exitUsable() const { return !closed_ && !storing_; }

    // --- Controls by instance name ----------------------------------------------
    // Kind as the form names it ("" for no control).
    std::string kind(const std::string& name) const;
    ValueEditorModel* editor(const std::string& name);
    Bits* selector(const std::string& name);
    // Text of the last showing (editors, selectors) or the combo's item.
    std::string valor(const std::string& name) const;
    int ListIndex(const std::string& name) const;  // selectors and combos; -1 none
    const std::vector<std::string>& comboItems(const std::string& name) const;
    bool checked(const std::string& name) const;
    // Controls, captions, lines, frames and sub-frames.
    bool visible(const std::string& name) const;
    // A caption or control whose row a visible sub-frame lies over: the
    // sub-frame's row stands in its place (its value is still shown and kept).
    bool covered(const std::string& name) const;

    // User actions on boxes and combos (ignored while the page is not usable).
    void clickBox(const std::string& name, bool ticked);
    void chooseCombo(const std::string& name, int item);

    // --- Hooks for a view -------------------------------------------------------
    std::function<void(const std::string&)> onVisibility;  // visible(name) or covered(name) changed
    std::function<void(const std::string&)> onShown;       // a box or combo shows another state
    std::function<void()> onUsable;                        // usable() or exitUsable() changed
    std::function<void()> onClose;                         // the page closed

    // --- Link events -------------------------------------------------------------
    void replyPassed(const RequestSlot& request) override;
    void linkLost() override;
    void storeEnded(bool saved) override;

private:
    struct Box {
        int bit = 0;
        std::optional<std::uint16_t> reg;
        bool checked = false;
    };
    struct Combo {
        std::vector<std::string> items;
        int index = -1;
    };

    void showBox(const std::string& name);
    void writeBox(const Box& box);
    void showCombo(const std::string& name);
    void applyRules(const std::string& selector);
    void setVisible(const std::string& name, bool v);
    void checkReads();
    void usableChanged();
    void close();

    PageForm form_;
    PageHost& host_;
    std::unique_ptr<PageBehaviour> behaviour_;
    std::map<std::string, std::unique_ptr<ValueEditorModel>> editors_;
    std::map<std::string, std::unique_ptr<Bits>> selectors_;
    std::map<std::string, Combo> combos_;
    std::map<std::string, Box> boxes_;
    std::map<std::string, bool> visible_;
    std::map<std::string, std::string> coveredBy_;  // caption or control -> sub-frame over its row
    // The editors (first) and selectors (second) of the display order.
    std::vector<std::pair<ValueEditorModel*, Bits*>> shownInOrder_;
    std::vector<RequestSlot> pendingReads_;

    bool loaded_ = false;
    bool closed_ = false;
    bool listening_ = false;
    bool openedOnline_ = false;
    bool waitingReads_ = false;
    bool storing_ = false;
};

} // namespace kova
