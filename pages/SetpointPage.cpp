#include "pages/SetpointPage.h"

#include "pages/SettingModels.h"
#include "link/RegisterAccess.h"
#include "platform/StderrLine.h"
#include "text/HexText.h"

#include <algorithm>

namespace kova {

namespace {

void reportBadSettings(const std::string& form, const std::string& name, const std::vector<std::string>& bad)
{
    for (const std::string& key : bad)
        writeStderrLine("kova: " + form + ": settings." + name + "." + key + " does not convert; its default is used");
}

} // namespace

SetpointPage::SetpointPage(PageForm form, PageHost& host)
    : form_(std::move(form)), host_(host), behaviour_(behaviourFor(form_.form))
{
    for (const auto& [name, kind] : form_.controls) {
        visible_[name] = true;
        const PropertyBag empty;
        const PropertyBag* bag = form_.settings.find(name);
        if (auto e = makeSettingEditor(kind)) {
            reportBadSettings(form_.form, name, e->loadSettings(bag ? *bag : empty));
            e->setImages(host_.images());
            editors_[name] = std::move(e);
        } else if (kind == "Bits") {
            auto b = std::make_unique<Bits>();
            reportBadSettings(form_.form, name, b->loadSettings(bag ? *bag : empty));
            b->setImages(host_.images());
            b->onClick = [this, name] { applyRules(name); };
            selectors_[name] = std::move(b);
        } else if (kind == "ComboBox") {
            combos_[name].items = form_.combos[name];
        }
    }
    for (const auto& [name, caption] : form_.labels)
        visible_[name] = true;
    // Every sub-frame shows at first, over the row above it.
    for (const PageForm::Frame& frame : form_.frames)
        for (const auto& column : frame.columns)
            for (std::size_t r = 1; r < column.size(); ++r)
                if (!column[r].frame.empty()) {
                    visible_[column[r].frame] = true;
                    coveredBy_[column[r - 1].label] = column[r].frame;
                    coveredBy_[column[r - 1].control] = column[r].frame;
                }
    for (const PageForm::Frame& frame : form_.frames) {
        visible_[frame.name] = true;
        for (const auto& column : frame.columns)
            for (const PageForm::Row& row : column)
                if (row.kind == PageForm::RowKind::Line)
                    visible_[row.control] = true;
    }
    // The editors and selectors of the display order, found once.
    for (const std::string& array : form_.displayArrays)
        for (const std::string& name : form_.arrayMembers(array)) {
            if (auto e = editors_.find(name); e != editors_.end())
                shownInOrder_.emplace_back(e->second.get(), nullptr);
            else if (auto s = selectors_.find(name); s != selectors_.end())
                shownInOrder_.emplace_back(nullptr, s->second.get());
        }
    for (const auto& [array, spec] : form_.boxes)
        for (std::size_t g = 0; g < spec.groups.size(); ++g)
            for (int b = 0; b < 4; ++b) {
                Box box;
                box.bit = b;
                box.reg = Indice_Setpoint(spec.groups[g]);
                const std::string name = PageForm::boxName(array, 4 * static_cast<int>(g) + b);
                boxes_[name] = box;
                visible_[name] = true;
            }
}

SetpointPage::~SetpointPage()
{
    for (auto& [name, b] : selectors_)
        b->onClick = nullptr;
    if (listening_)
        host_.releaseListener(this);
}

// --- Opening and showing ------------------------------------------------------

void SetpointPage::Form_Load()
{
    if (loaded_ || host_.imprimiendo())
        return;
    loaded_ = true;
    listening_ = true;
    host_.setListener(this);
    for (const std::string& array : form_.selectorArrays)
        for (const std::string& name : form_.arrayMembers(array))
            selectors_.at(name)->Crear_Items();
    if (host_.online()) {
        openedOnline_ = true;
        waitingReads_ = true;
        behaviour_->beforeReads(host_);
        host_.enableMainWindow(false);
        for (int code : form_.readCodes)
            if (auto slot = host_.queueRequest(0, code))
                pendingReads_.push_back(*slot);
        host_.setHabilitaReset(true);
    }
    Actualiza_Valores_de_Pantalla();
    if (waitingReads_)
        checkReads();
    usableChanged();
}

void SetpointPage::Actualiza_Valores_de_Pantalla()
{
    for (const std::string& combo : form_.displayFirst)
        showCombo(combo);
    for (int b = 0; b < 4; ++b)
        for (const PageForm::BoxStep& step : form_.displayBoxes)
            showBox(PageForm::boxName(step.array, 4 * step.group + b));
    for (const auto& [editor, selector] : shownInOrder_) {
        if (editor)
            editor->Inicializacion();
        else
            selector->Inicializacion();
    }
}

void SetpointPage::showBox(const std::string& name)
{
    Box& box = boxes_.at(name);
    const bool ticked = Leer_Bit(host_.images(), box.bit, box.reg, 1, 1) != 0;
    if (ticked == box.checked)
        return;
    box.checked = ticked;
    writeBox(box);
    if (onShown)
        onShown(name);
}

void SetpointPage::writeBox(const Box& box)
{
    const std::uint32_t v = Codificar_1_Bit(host_.images(), box.checked ? 1 : 0, box.bit, box.reg, 1, 1);
    Escribir_Dato(host_.images(), hex4word(v), box.reg, 1, 1);
}

void SetpointPage::showCombo(const std::string& name)
{
    Combo& c = combos_.at(name);
    int k = behaviour_->comboItem(name, host_.images());
    if (k < 0 || k >= static_cast<int>(c.items.size()))
        k = -1;  // names no item: no selection, nothing written
    const bool changed = k != c.index;
    c.index = k;
    if (changed && onShown)
        onShown(name);
    if (changed && k >= 0)
        behaviour_->comboChosen(name, k, host_.images());
    if (changed || k < 0)
        applyRules(name);
}

void SetpointPage::applyRules(const std::string& selector)
{
    const int item = ListIndex(selector);
    for (const PageForm::Rule& rule : form_.rules) {
        if (rule.selector != selector)
            continue;
        bool show = false;
        if (item >= 0)
            show = std::find(rule.visibleFor.begin(), rule.visibleFor.end(), item) != rule.visibleFor.end();
        else if (rule.noItem == PageForm::NoItem::Keep)
            continue;
        else
            show = rule.noItem == PageForm::NoItem::Show;
        for (const std::string& target : rule.targets)
            setVisible(target, show);
    }
}

void SetpointPage::setVisible(const std::string& name, bool v)
{
    bool& now = visible_[name];
    if (now == v)
        return;
    now = v;
    if (!onVisibility)
        return;
    onVisibility(name);
    for (const auto& [under, frame] : coveredBy_)
        if (frame == name)
            onVisibility(under);
}

// --- Reads of the opening -------------------------------------------------------

void SetpointPage::checkReads()
{
    if (!waitingReads_ || !pendingReads_.empty())
        return;
    // A later read of the same block would replace the edits made meanwhile.
    for (int code : form_.readCodes)
        if (host_.requestWaiting(code))
            return;
    waitingReads_ = false;
    Actualiza_Valores_de_Pantalla();
    usableChanged();
}

void SetpointPage::replyPassed(const RequestSlot& request)
{
    auto it = std::find(pendingReads_.begin(), pendingReads_.end(), request);
    if (it != pendingReads_.end())
        pendingReads_.erase(it);
    checkReads();
}

void SetpointPage::linkLost()
{
    if (!waitingReads_)
        return;
    waitingReads_ = false;
    pendingReads_.clear();
    Actualiza_Valores_de_Pantalla();
    usableChanged();
}

// --- Commands -------------------------------------------------------------------

void SetpointPage::Command1_Click()
{
    if (!usable())
        return;
    if (host_.online()) {
        storing_ = true;
        usableChanged();
        std::vector<RequestSlot> queued;
        std::vector<int> notQueued;
        for (int code : form_.writeCodes) {
            if (auto slot = host_.queueRequest(0, code))
                queued.push_back(*slot);
            else
                notQueued.push_back(code);
        }
        host_.beginStore(queued, notQueued);
    } else if (openedOnline_) {
        // The relay was left meanwhile: nothing is stored anywhere.
        host_.message(kErrorComunicacion, "Communication Error", PageHost::Icon::Critical);
    } else {
        Copiar_Put_A_Get(host_.images());
        host_.message(kGuardadoEnMemoria, "KOVA", PageHost::Icon::None);
    }
}

void SetpointPage::storeEnded(bool)
{
    if (!storing_)
        return;
    storing_ = false;
    usableChanged();
}

void SetpointPage::Command2_Click()
{
    if (!exitUsable())
        return;
    for (int block : form_.restoreBlocks)
        Restaurar_Bloque(host_.images(), block);
    host_.enableMainWindow(true);
    close();
}

bool SetpointPage::Form_Unload()
{
    if (closed_)
        return true;
    if (storing_)
        return false;
    Command2_Click();
    return true;
}

void SetpointPage::close()
{
    closed_ = true;
    if (listening_) {
        listening_ = false;
        host_.releaseListener(this);
    }
    usableChanged();
    if (onClose)
        onClose();
}

void SetpointPage::usableChanged()
{
    if (onUsable)
        onUsable();
}

// --- Controls ------------------------------------------------------------------------

std::string SetpointPage::kind(const std::string& name) const
{
    auto it = form_.controls.find(name);
    return it == form_.controls.end() ? std::string() : it->second;
}

ValueEditorModel* SetpointPage::editor(const std::string& name)
{
    auto it = editors_.find(name);
    return it == editors_.end() ? nullptr : it->second.get();
}

Bits* SetpointPage::selector(const std::string& name)
{
    auto it = selectors_.find(name);
    return it == selectors_.end() ? nullptr : it->second.get();
}

std::string SetpointPage::valor(const std::string& name) const
{
    if (auto e = editors_.find(name); e != editors_.end())
        return e->second->valor();
    if (auto s = selectors_.find(name); s != selectors_.end())
        return s->second->valor();
    if (auto c = combos_.find(name); c != combos_.end() && c->second.index >= 0)
        return c->second.items[static_cast<std::size_t>(c->second.index)];
    return {};
}

int SetpointPage::ListIndex(const std::string& name) const
{
    if (auto s = selectors_.find(name); s != selectors_.end())
        return s->second->ListIndex();
    if (auto c = combos_.find(name); c != combos_.end())
        return c->second.index;
    return -1;
}

const std::vector<std::string>& SetpointPage::comboItems(const std::string& name) const
{
    static const std::vector<std::string> none;
    auto c = combos_.find(name);
    return c == combos_.end() ? none : c->second.items;
}

bool SetpointPage::checked(const std::string& name) const
{
    auto b = boxes_.find(name);
    return b != boxes_.end() && b->second.checked;
}

bool SetpointPage::visible(const std::string& name) const
{
    auto v = visible_.find(name);
    return v != visible_.end() && v->second;
}

bool SetpointPage::covered(const std::string& name) const
{
    auto c = coveredBy_.find(name);
    return c != coveredBy_.end() && visible(c->second);
}

void SetpointPage::clickBox(const std::string& name, bool ticked)
{
    auto b = boxes_.find(name);
    if (b == boxes_.end())
        return;
    if (usable() && ticked != b->second.checked) {
        b->second.checked = ticked;
        writeBox(b->second);
    }
    if (onShown)
        onShown(name);
}

void SetpointPage::chooseCombo(const std::string& name, int item)
{
    auto c = combos_.find(name);
    if (c == combos_.end())
        return;
    if (usable() && item >= 0 && item < static_cast<int>(c->second.items.size())) {
        c->second.index = item;
        behaviour_->comboChosen(name, item, host_.images());
        applyRules(name);
    }
    if (onShown)
        onShown(name);
}

} // namespace kova
