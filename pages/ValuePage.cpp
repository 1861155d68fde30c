#include "pages/ValuePage.h"

#include "pages/LastTripPage.h"
#include "pages/MeteringPage.h"
#include "pages/ModAutoRango.h"
#include "pages/PowerPage.h"
#include "pages/StampSplit.h"
#include "text/NumberText.h"

#include <algorithm>

namespace kova {

ValuePage::ValuePage(PageForm form, PageHost& host) : form_(std::move(form)), host_(host)
{
    for (const PageForm::Frame& f : form_.frames) {
        visible_[f.name] = f.visible;
        tops_[f.name] = f.at.top;
    }
    for (const ValueButton& b : form_.buttons)
        tops_[b.name] = b.at.top;
}

std::string ValuePage::text(const std::string& label) const
{
    if (const auto it = texts_.find(label); it != texts_.end())
        return it->second;
    if (const auto it = form_.labels.find(label); it != form_.labels.end())
        return it->second;
    return form_.designText(label);
}

bool ValuePage::visible(const std::string& control) const
{
    const auto it = visible_.find(control);
    return it == visible_.end() || it->second;
}

int ValuePage::top(const std::string& control) const
{
    const auto it = tops_.find(control);
    return it == tops_.end() ? 0 : it->second;
}

void ValuePage::setTimer(bool on)
{
    if (timer_ == on)
        return;
    timer_ = on;
    if (listener_)
        listener_->timerChanged();
}

void ValuePage::Form_Load()
{
    if (host_.imprimiendo())
        return;
    host_.setCerrarPagina(false);
    closeRequested_ = false;
    showPage();
    Actualiza_Valores();
    Activa_Timer();
}

void ValuePage::showPage()
{
    sized_ = true;
    host_.enableMainWindow(false);
}

void ValuePage::Activa_Timer()
{
    if (host_.comunicando())
        setTimer(true);
}

int ValuePage::kindOf(const std::string&, const ValueBinding& b) const { return b.unidad.value_or(-1); }

void ValuePage::drawLabel(const std::string& label, const ValueBinding& b)
{
    const NumOrText entry = host_.DatosDeVariables(static_cast<std::int16_t>(b.posicion));
    if (b.parte != ValueBinding::Parte::None) {
        const StampParts parts = splitStamp(entry.toText());
        texts_[label] = b.parte == ValueBinding::Parte::Fecha ? parts.fecha : parts.hora;
    } else if (b.unidad) {
        Mostrar_Medida(kindOf(label, b), entry, Valor_Medida, Unidad_Medida);
        texts_[label] = Valor_Medida;
        texts_[unitLabelOf(label)] = Unidad_Medida;
    } else {
        texts_[label] = entry.toText();
    }
}

void ValuePage::Actualiza_Valores()
{
    for (int b : form_.blocks)
        host_.Devuelve_Datos(b);
    for (const std::string& label : form_.shownLabels())
        if (const auto it = form_.values.find(label); it != form_.values.end())
            drawLabel(label, it->second);
    applyLayout();
    if (listener_)
        listener_->redrawn();
}

void ValuePage::applyLayout()
{
    if (!form_.layout)
        return;
    const VtLayout& l = *form_.layout;
    const std::string vt = upperTrimmed(
        l.posicion ? host_.DatosDeVariables(static_cast<std::int16_t>(*l.posicion)).toText() : text(l.label));
    // The case that names the text, else the case of every other text.
    const LayoutCase* chosen = nullptr;
    for (const LayoutCase& c : l.cases)
        if (std::find(c.texts.begin(), c.texts.end(), vt) != c.texts.end())
            chosen = &c;
    for (const LayoutCase& c : l.cases)
        if (!chosen && c.texts.empty())
            chosen = &c;
    if (!chosen)
        return; // any other text leaves the frames as they are
    for (const std::string& s : chosen->show)
        visible_[s] = true;
    for (const std::string& h : chosen->hide)
        visible_[h] = false;
    for (const auto& [control, t] : chosen->tops)
        tops_[control] = t;
}

void ValuePage::Timer1_Timer()
{
    if (closed_)
        return;
    if (host_.comunicando())
        for (const TickRequest& r : form_.tick)
            host_.queueRequest(r.queue, r.code);
    Actualiza_Valores();
    setTimer(host_.comunicando());
    if (closeRequested_) {
        host_.setCerrarPagina(false);
        close();
    }
}

void ValuePage::Okey_Click()
{
    if (closed_)
        return;
    host_.setCerrarPagina(true);
    closeRequested_ = true;
    // Offline, or a page that does not poll (opened while the link was
    // still connecting): no tick would come, so close now.
    if (!host_.comunicando() || !timer_) {
        host_.setCerrarPagina(false);
        close();
    }
}

void ValuePage::closeByFrame()
{
    if (closed_)
        return;
    host_.setCerrarPagina(false);
    close();
}

void ValuePage::close()
{
    closeRequested_ = false;
    setTimer(false);
    host_.enableMainWindow(true);
    closed_ = true;
    if (listener_)
        listener_->closing();
}

void ValuePage::Clear_Click()
{
    if (!form_.clear || closed_)
        return;
    const ClearCommand& c = *form_.clear;
    if (!host_.comunicando()) {
        host_.message("Enabled only on Communication Mode", c.title, PageHost::Icon::Information);
        return;
    }
    const auto icon = c.icon == ClearCommand::Icon::Question ? PageHost::Icon::Question : PageHost::Icon::Information;
    if (host_.question(c.question, c.title, icon))
        host_.queueRequest(0, c.request);
}

std::unique_ptr<ValuePage> makeValuePage(PageForm form, PageHost& host)
{
    if (form.form == "AVPAGE1")
        return std::make_unique<MeteringPage>(std::move(form), host);
    if (form.form == "AVPAGE2")
        return std::make_unique<PowerPage>(std::move(form), host);
    if (form.form == "AVPAGE5")
        return std::make_unique<LastTripPage>(std::move(form), host);
    return std::make_unique<ValuePage>(std::move(form), host);
}

} // namespace kova
