// Checks over every value form: what a slip in a form file would break.

#include "link/RelayData.h"
#include "pages/FormLoader.h"
#include "pages/PageForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace kova {
namespace {

const char* const kValueForms[] = {"AVPAGE1", "AVPAGE2", "AVPAGE6", "AVPAGE3", "AVPAGE5"};

PageForm load(const std::string& name)
{
    std::string error;
    auto form = loadPageForm(name, &error);
    EXPECT_TRUE(form && form->isValuePage()) << error;
    return form ? *form : PageForm();
}

std::string array(const std::string& label) { return splitInstance(label).first; }

TEST(ValueForms, BoundPositionsAreFilledByThePagesOwnBlocks)
{
    for (const char* name : kValueForms) {
        const PageForm form = load(name);
        RegisterImages images;
        RelayData fresh(images);
        for (int b : form.blocks)
            fresh.Devuelve_Datos(b);
        for (const auto& [label, binding] : form.values)
            EXPECT_FALSE(fresh.DatosDeVariables(binding.posicion).isEmpty()) << name << " " << label;
        if (form.layout && form.layout->posicion) {
            EXPECT_FALSE(fresh.DatosDeVariables(*form.layout->posicion).isEmpty()) << name;
        }
    }
}

TEST(ValueForms, KindsUnitLabelsCaptionsAndPositions)
{
    for (const char* name : kValueForms) {
        SCOPED_TRACE(name);
        const PageForm form = load(name);
        EXPECT_FALSE(form.caption.empty());
        const std::vector<std::string> shown = form.shownLabels();
        const std::set<std::string> shownSet(shown.begin(), shown.end());
        std::map<int, std::vector<std::string>> byPosition;
        for (const auto& [label, b] : form.values) {
            // A measured value has its unit label; a text row has none.
            if (b.unidad) {
                EXPECT_TRUE(*b.unidad >= 0 && *b.unidad <= 14) << label;
            }
            if (array(label) == "LblMed") {
                EXPECT_EQ(shownSet.count(unitLabelOf(label)), b.unidad ? 1u : 0u) << label;
            }
            if (b.parte == ValueBinding::Parte::None)
                byPosition[b.posicion].push_back(label);
        }
        for (const auto& label : shown)
            if (array(label) == "LblUni") {
                const std::string med = PageForm::boxName("LblMed", splitInstance(label).second);
                EXPECT_TRUE(form.values.count(med) && form.values.at(med).unidad) << label;
            }
        for (const auto& [pos, labels] : byPosition) {
            // Only the metering page's delta frame repeats voltages.
            const auto copies = std::count_if(labels.begin(), labels.end(),
                                              [](const std::string& l) { return splitInstance(l).second >= 19; });
            const bool deltaCopy = form.form == "AVPAGE1" && labels.size() == 2 && copies == 1;
            EXPECT_TRUE(labels.size() == 1 || deltaCopy) << "position " << pos;
        }
        for (const auto& [label, text] : form.labels)
            EXPECT_FALSE(text.empty()) << label;
        for (const PageForm::Frame& f : form.frames)
            for (const ValueRow& r : f.rows)
                EXPECT_TRUE(f.headers.empty() || !r.separator.empty() || f.headers.size() == r.cells.size())
                    << r.label;
        EXPECT_FALSE(form.tick.empty());
        EXPECT_TRUE(std::any_of(form.buttons.begin(), form.buttons.end(),
                                [](const ValueButton& b) { return b.name == "Okey" && b.caption == "OK"; }));
    }
}

TEST(ValueForms, QuotedTexts)
{
    const struct {
        const char* form;
        const char* label;
        const char* text;
    } cases[] = {
        {"AVPAGE1", "Label1(2)", "System Frecuency:"},      {"AVPAGE3", "Label1(2)", "Groung O/C Trips:"},
        {"AVPAGE3", "Label1(3)", "Openning Counter:"},       {"AVPAGE6", "Label2(2)", "Max. Demand Date"},
        {"AVPAGE5", "Label1(6)", "Pre-Trip Neg. Sequence Current:"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(load(c.form).labels.at(c.label), c.text) << c.form << " " << c.label;
    EXPECT_EQ(load("AVPAGE2").clear->question, "Are your sure that you want to clear Energy?");
    EXPECT_EQ(load("AVPAGE6").designText("LblDemandTime(1)"), "hh:mm:ss");
    EXPECT_EQ(load("AVPAGE1").designText("LblUni(4)"), "###");
}

TEST(ValueForms, FaultsNameFormAndKey)
{
    // A form showing LblMed(0) in row "L", with the labels and values given.
    auto shown = [](const char* labels, const char* values) {
        return std::string(R"j({"form": "AVPAGE9", "caption": "C", "frames": [{"name": "F", "caption": "",
            "twips": [1, 2], "rows": [{"label": "L", "cells": [["LblMed(0)"]]}]}], "design": {}, "buttons": [],
            "protocol": {"interval": 1, "tick": [], "blocks": []}, "labels": )j") +
               labels + R"j(, "values": )j" + values + "}";
    };
    const struct {
        std::string json;
        const char* message;
    } cases[] = {
        {R"j({"values": {}, "form": 1})j", "AVPAGE9: form: not a text"},
        {R"j({"values": {}, "form": "AVPAGE8"})j", "AVPAGE9: form: \"AVPAGE8\" is not the file's name"},
        {R"j({"values": {}, "form": "AVPAGE9", "caption": "C", "frames": [{"name": "F", "caption": "",
             "twips": [1], "rows": []}]})j",
         "AVPAGE9: frames[0].twips: not [left, top]"},
        {shown(R"j({"L": "x"})j", R"j({"X": {"posicion": 1}})j"), "AVPAGE9: values: LblMed(0) shown but not bound"},
        {shown("{}", R"j({"LblMed(0)": {"posicion": 1}})j"), "AVPAGE9: frames: \"L\" is not in labels"},
        {R"j({"form": "AVPAGE9", "caption": "C", "frames": [], "labels": {}, "design": {},
             "values": {"X": {"posicion": 1, "parte": "dia"}}})j",
         "AVPAGE9: values.X.parte: neither fecha nor hora"},
        {R"j({"form": "AVPAGE9", "caption": "C", "frames": [], "labels": {}, "design": {},
             "values": {"X": {"posicion": 1, "kind": 2}}})j",
         "AVPAGE9: values.X.kind: unknown key"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(readPageForm(c.json, "AVPAGE9", &error)) << c.json;
        EXPECT_EQ(error, c.message);
    }
}

// A value form's refresh may only read: a command (13), a block write (27) or an unknown code is refused.
TEST(ValueForms, RefreshOnlyReads)
{
    const std::string good = pageFormText("AVPAGE2"), tick = "[\n                1,\n                7\n            ]";
    ASSERT_NE(good.find(tick), std::string::npos);
    for (const int request : {13, 27, 99}) {
        std::string error, edited = good;
        edited.replace(good.find(tick), tick.size(), "[1, " + std::to_string(request) + "]");
        EXPECT_FALSE(readPageForm(edited, "AVPAGE2", &error)) << request;
        EXPECT_EQ(error, "AVPAGE2: protocol.tick[0]: request " + std::to_string(request) + " is not a read");
    }
}

} // namespace
} // namespace kova
