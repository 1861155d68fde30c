// Checks over every value form: what a slip in a form file would break.

#include "link/RelayData.h"
#include "pages/ValueFormReader.h"

#include <algorithm>

#include <gtest/gtest.h>


#include <set>

namespace kova {
namespace {

const char* const kValueForms[] = {"AVPAGE1", "AVPAGE2", "AVPAGE6", "AVPAGE3", "AVPAGE5"};

ValueForm load(const std::string& name) { return loadValueForm(name); }

TEST(ValueForms, BoundPositionsAreFilledByThePagesOwnBlocks)
{
    for (const char* name : kValueForms) {
        const ValueForm form = load(name);
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
        const ValueForm form = load(name);
        EXPECT_EQ(form.form, name);
        EXPECT_FALSE(form.caption.empty()) << name;
        const std::vector<std::string> shown = form.shownLabels();
        const std::set<std::string> shownSet(shown.begin(), shown.end());
        std::map<int, std::vector<std::string>> byPosition;
        for (const auto& [label, b] : form.values) {
            if (b.unidad) {
                EXPECT_GE(*b.unidad, 0) << name << " " << label;
                EXPECT_LE(*b.unidad, 14) << name << " " << label;
                EXPECT_TRUE(shownSet.count(unitLabelOf(label))) << name << " " << label << " has no unit label";
            } else if (arrayName(label) == "LblMed") {
                EXPECT_FALSE(shownSet.count(unitLabelOf(label))) << name << " " << label << " is a text row";
            }
            if (b.parte == ValueBinding::Parte::None)
                byPosition[b.posicion].push_back(label);
        }
        for (const auto& label : shown)
            if (arrayName(label) == "LblUni") {
                const std::string med = "LblMed(" + std::to_string(*arrayIndex(label)) + ")";
                EXPECT_TRUE(form.values.count(med) && form.values.at(med).unidad) << name << " " << label;
            }
        for (const auto& [pos, labels] : byPosition) {
            // Only the metering page's delta frame repeats voltages.
            const bool deltaCopy = form.form == "AVPAGE1" && labels.size() == 2 &&
                                   *arrayIndex(labels[0]) + *arrayIndex(labels[1]) >= 19;
            EXPECT_TRUE(labels.size() == 1 || deltaCopy) << name << " position " << pos;
        }
        for (const ValueFrame& f : form.frames) {
            for (const std::string& h : f.headers)
                EXPECT_FALSE(form.labels.count(h) ? form.labels.at(h).empty() : true) << name << " " << h;
            for (const ValueRow& r : f.rows)
                if (r.separator.empty()) {
                    EXPECT_FALSE(form.labels.count(r.caption) ? form.labels.at(r.caption).empty() : true)
                        << name << " " << r.caption;
                    EXPECT_TRUE(f.headers.empty() || f.headers.size() == r.cells.size()) << name << " " << r.caption;
                }
        }
        EXPECT_GT(form.interval, 0) << name;
        EXPECT_FALSE(form.tick.empty()) << name;
        EXPECT_TRUE(std::any_of(form.buttons.begin(), form.buttons.end(),
                                [](const ValueButton& b) { return b.name == "Okey" && b.caption == "OK"; }))
            << name;
        if (form.clear) {
            EXPECT_TRUE(std::any_of(form.buttons.begin(), form.buttons.end(),
                                    [&](const ValueButton& b) { return b.name == form.clear->button; }))
                << name;
        }
    }
}

TEST(ValueForms, QuotedTexts)
{
    const struct {
        const char* form;
        const char* label;
        const char* text;
    } cases[] = {
        {"AVPAGE1", "Label1(2)", "System Frecuency:"},
        {"AVPAGE3", "Label1(2)", "Groung O/C Trips:"},
        {"AVPAGE3", "Label1(3)", "Openning Counter:"},
        {"AVPAGE6", "Label2(2)", "Max. Demand Date"},
        {"AVPAGE5", "Label1(6)", "Pre-Trip Neg. Sequence Current:"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(load(c.form).labels.at(c.label), c.text) << c.form << " " << c.label;
    EXPECT_EQ(load("AVPAGE2").clear->question, "Are your sure that you want to clear Energy?");
    EXPECT_EQ(load("AVPAGE6").designText("LblDemandTime(1)"), "hh:mm:ss");
    EXPECT_EQ(load("AVPAGE1").designText("LblUni(4)"), "###");
}

TEST(ValueFormReader, FaultsNameFormAndKey)
{
    const struct {
        const char* json;
        const char* message;
    } cases[] = {
        {"[1]", "AVPAGE9: (file): not an object"},
        {"{\"form\": 1}", "AVPAGE9: form: not a text"},
        {R"j({"form": "A", "caption": "C", "frames": [{"name": "F", "caption": "", "twips": [1],
             "rows": []}]})j",
         "AVPAGE9: frames[0].twips: not [left, top]"},
        {R"j({"form": "A", "caption": "C", "frames": [{"name": "F", "caption": "", "twips": [1, 2],
             "rows": [{"label": "L", "cells": [["LblMed(0)"]]}]}], "labels": {}, "design": {},
             "values": {}, "buttons": [], "protocol": {"interval": 1, "tick": [], "blocks": []}})j",
         "AVPAGE9: values: LblMed(0) shown but not bound"},
        {R"j({"form": "A", "caption": "C", "frames": [], "labels": {}, "design": {},
             "values": {"X": {"posicion": 1, "parte": "dia"}}})j",
         "AVPAGE9: values.X.parte: neither fecha nor hora"},
    };
    for (const auto& c : cases) {
        try {
            readValueForm(QByteArray(c.json), "AVPAGE9");
            ADD_FAILURE() << c.json;
        } catch (const ValueFormError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

} // namespace
} // namespace kova
