#pragma once
// Edited copies of the built-in forms and what must become of each: refused, with the words the refusal holds, or
// taken as harmless. Run by the form check on KOVA_FORMS_DIR, by the designer's Apply and Save, and over the line.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <string>
#include <vector>

namespace kova::test {

// One edit of a form file: the value at path (keys or list indexes) set, or appended to the list there;
// or, with from set, a name changed everywhere in the file.
struct FormEdit {
    std::vector<std::string> path;
    QJsonValue value;
    bool append = false;
    std::string from{}, to{};

    // The form's text with the edit made, as a JSON tool writes it.
    std::string applied(const std::string& text) const
    {
        QString t = QString::fromStdString(text);
        if (!from.empty())
            t.replace(QString::fromStdString('"' + from + '"'), QString::fromStdString('"' + to + '"'));
        const QJsonObject root = QJsonDocument::fromJson(t.toUtf8()).object();
        return QJsonDocument(path.empty() ? root : edited(root, 0).toObject()).toJson().toStdString();
    }
    QJsonValue edited(const QJsonValue& v, std::size_t at) const
    {
        if (at == path.size()) {
            QJsonArray a = v.toArray();
            a.append(value);
            return append ? QJsonValue(a) : value;
        }
        if (v.isArray()) {
            QJsonArray a = v.toArray();
            const int i = std::stoi(path[at]);
            a[i] = edited(a[i], at + 1);
            return a;
        }
        QJsonObject o = v.toObject();
        const QString key = QString::fromStdString(path[at]);
        o[key] = edited(o[key], at + 1);
        return o;
    }
    // An edit of one stored setting: path is {"settings", control, key}.
    bool isSetting() const { return !append && path.size() == 3 && path[0] == "settings"; }
};

inline FormEdit setAt(std::vector<std::string> path, QJsonValue value) { return {std::move(path), std::move(value)}; }
inline FormEdit appendTo(std::vector<std::string> path, QJsonValue value) { return {path, value, true}; }
inline FormEdit renamed(std::string from, std::string to) { return {{}, {}, false, from, to}; }

struct FormVariant {
    const char* form;
    FormEdit edit;
    bool refused;
    // The fault as the program names it after "<file>: ". A settings fault ("settings.<control>...") is the
    // settings check's; the others are the consistency check's, which the designer names in the same words.
    std::string says;
};

inline const std::vector<FormVariant>& formVariants()
{
    static const std::vector<FormVariant> variants = {
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "direccion"}, "FFFF"), true,
            "settings.PhaseCT(0): Invalid value for Direccion: \"FFFF\" is in no setpoint block"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "datalen"}, 7), true,
            "settings.PhaseCT(0): the register width cannot be written"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "min"}, 6000), true,
            "settings.PhaseCT(0): Min is above Max or outside the register width"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "min"}, "5O"), true,
            "settings.PhaseCT(0).min: Invalid value for Min: \"5O\""},
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "colour"}, 1), true, "settings.PhaseCT(0).colour: unknown key"},
        // A refused number or address says why.
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "paso"}, 0.00001), true,
            "settings.PhaseCT(0).paso: Invalid value for Paso: 0.00001 has more than four decimals"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(8)", "paso"}, 0.00012), true,
            "settings.PhaseCT(8).paso: Invalid value for Paso: 0.00012 has more than four decimals"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "min"}, -1), true,
            "settings.PhaseCT(0).min: Invalid value for Min: -1 is negative"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "direccion"}, "00104"), true,
            "settings.PhaseCT(0): Invalid value for Direccion: \"00104\" is not a register address, which is four "
            "hexadecimal digits such as \"0101\""},
        {"SETPAGE2", setAt({"settings", "PhaseCT(7)", "direccion"}, "0103"), true,
            "PhaseCT(7) and PhaseCT(1) share bit 0 of register 0103"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(2)", "direccion"}, "1005"), true,
            "PhaseCT(2): register 1005 lies in block 3, which the page does not read, write or restore"},
        {"SETPAGE3", setAt({"boxes", "ChkGnd", "groups", "1"}, "1010"), true,
            "ChkGnd: nothing on the page is bound to register 1011, just after the relay group register 1010"},
        // A selector's own bits, and its list against them.
        {"SETPAGE2", setAt({"settings", "Page1C(0)", "bit2"}, 0), true,
            "Page1C(0) names bit 0 of register 0101 twice (Bit1 and Bit2)"},
        {"SETPAGE9", setAt({"settings", "Page9(2)", "paso"}, 2), true,
            "Page9(2): a one-bit selector needs Paso 1, not 2 (bit 5 of register 012A)"},
        {"SETPAGE9", setAt({"settings", "Page9(2)", "cantidad_items"}, 3), true,
            "Page9(2): a one-bit selector has two items, not 3 (bit 5 of register 012A)"},
        {"SETPAGE2", setAt({"settings", "Page1C(1)", "paso"}, 2), true,
            "Page1C(1): item 3 (\"Open Delta\") stands for 2 x Paso 2 = 4, more than bits 2 and 3 of register 0101 "
            "hold"},
        {"SETPAGE3", setAt({"settings", "Page3C(0)", "paso"}, 2), true,
            "Page3C(0): item 9 (\"IAC Extrem Inv\") stands for 8 x Paso 2 = 16, more than bits 0, 1, 2 and 3 of "
            "register 1002 hold"},
        // The system set-up page's own combo.
        {"SETPAGE2", appendTo({"combos", "Combo1"}, "Both"), true,
            "Combo1: 3 items, but the page's code has codes for 2 only (bits 5 and 6 of register 0101)"},
        {"SETPAGE2", renamed("Combo1", "Combo9"), true,
            "Combo9: the page's code writes no register for a combo of this name, so a choice in it would be stored "
            "nowhere (it writes Combo1)"},
        // The display order, the blocks written and a value page's tick.
        {"SETPAGE2", setAt({"protocol", "display", "arrays"}, QJsonArray{"Page1C", "Page1W2"}), true,
            "PhaseCT: not in the display order (protocol.display.arrays), so PhaseCT(0) to PhaseCT(9) would show "
            "nothing read from the relay"},
        {"SETPAGE2", setAt({"protocol", "display", "first"}, QJsonArray{}), true,
            "Combo1: not in the display order (protocol.display.first), so it would show nothing read from the relay"},
        {"SETPAGE3", setAt({"protocol", "display", "boxes", "5"}, QJsonArray{"ChkPhTim", 2}), true,
            "ChkGnd: relay group 2 (register 100A) is not in the display order (protocol.display.boxes), so its "
            "boxes would show no bit read from the relay"},
        {"SETPAGE2", appendTo({"protocol", "write"}, 111), true,
            "protocol.write: 111 writes block 4 (registers 1019 to 1031), which the page does not read when it opens"},
        {"AVPAGE1", appendTo({"protocol", "tick"}, QJsonArray{0, 61}), true,
            "protocol.tick[4]: request 61 is named twice"},
        // What a page's running shows only in part: selectors listed twice or not at all, two relay groups on
        // one register, a value pattern with fewer decimals than the step.
        {"SETPAGE2", appendTo({"protocol", "selectorArrays"}, "Page1C"), true,
            "protocol.selectorArrays: Page1C is named twice, so each of its selectors would list its items twice and "
            "write, for the second listing, codes no item stands for"},
        {"SETPAGE3", setAt({"protocol", "selectorArrays"}, QJsonArray{}), true,
            "protocol.selectorArrays: Page3C is not named, so Page3C(0) to Page3C(1) would list no items and could "
            "not be set"},
        {"SETPAGE2", setAt({"boxes", "chkDiscrep", "groups", "1"}, "012B"), true,
            "chkDiscrep(4) and chkDiscrep(0) share bit 0 of register 012B"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(8)", "formato"}, "###0"), true, "PhaseCT(8): 0.05 Sec shows '0 Sec'"},
        {"SETPAGE3", setAt({"settings", "Word_TresR1(0)", "max"}, 59950), true,
            "Word_TresR1(0): Max 599.50 is not on its range's grid of steps of 1"},
        {"SETPAGE3", setAt({"settings", "Word_TresR1(0)", "cambio_a"}, 105), true,
            "Word_TresR1(0): change point 1.05 is not on the grid of steps of 0.1 of the range above it"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "smallchange"}, 10), true,
            "PhaseCT(0): Min 5 is not on its range's grid of steps of 10"},
        {"SETPAGE15", setAt({"settings", "Page15W2(0)", "cambio_de_paso"}, 995), true,
            "Page15W2(0): change point 9.95 is not on the grid of steps of 0.1 of the range below it"},
        {"SETPAGE3", setAt({"settings", "Word_TresR1(1)", "paso_b"}, 0.02), true,
            "Word_TresR1(1): 1.10 Sec shows '2.2 Sec' after a step up"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(6)", "paso"}, 7), true,
            "PhaseCT(6): typed on the keypad, '35000' (shown for 35000 KA) is refused: Out of Range"},
        {"SETPAGE2", setAt({"combos", "Combo1"}, QJsonArray{}), true, "Combo1 has no items"},
        // Harmless edits.
        {"SETPAGE2", setAt({"caption"}, "SETPOINTS - System Setup (Feeder 2)"), false, ""},
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "backcolor"}, 65535), false, ""},
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "medida"}, "Amp"), false, ""},
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "smallchange"}, 1), false, ""},
        {"SETPAGE15", setAt({"settings", "Page15W2(0)", "inc_b"}, 50), false, ""},
        {"SETPAGE15", setAt({"settings", "Page15W2(0)", "formato"}, "##0.0#"), false, ""},
        {"SETPAGE15", setAt({"settings", "Page15W2(0)", "min"}, 20), false, ""},
        {"SETPAGE2", setAt({"settings", "Page1C(1)", "nombre3"}, "Open Delta (V)"), false, ""},
    };
    return variants;
}

} // namespace kova::test
