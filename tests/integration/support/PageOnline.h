// Shared set-up of the setpoint page tests run online against the simulated
// relay: the page, editor and harness headers and the test helpers' names.
#pragma once

#include "app/AppContext.h"
#include "editors/ValueEditorWidget.h"
#include "pages/SetpointPageView.h"
#include "LoggedFrames.h"
#include "OnlineProgram.h"
#include "SimHarness.h"
#include "link/DefaultSetpoints.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <array>
#include <map>
#include <sstream>

using kova::test::Bytes;
using kova::test::frameOf;
using kova::test::hexBytes;
using kova::test::OnlineProgram;
using kova::test::SimHarness;
using kova::test::withCrc;

// A block write frame of the relay's default values, with some changed.
template <std::size_t N>
Bytes blockWrite(int first, const std::array<std::uint16_t, N>& values, std::map<int, int> changed = {})
{
    Bytes f = {0x01, 0x10, static_cast<std::uint8_t>(first >> 8), static_cast<std::uint8_t>(first & 0xFF), 0x00,
               static_cast<std::uint8_t>(N), static_cast<std::uint8_t>(2 * N)};
    for (std::size_t i = 0; i < N; ++i) {
        const auto c = changed.find(first + static_cast<int>(i));
        const int v = c == changed.end() ? values[i] : c->second;
        f.push_back(static_cast<std::uint8_t>(v >> 8));
        f.push_back(static_cast<std::uint8_t>(v & 0xFF));
    }
    return withCrc(f);
}

const QString kSaved = QStringLiteral("Setpoints were Saved to the Relay memory");

// How many message boxes shown said `text`.
inline int count(const kova::test::ScriptedUi& ui, const QString& text)
{
    int n = 0;
    for (const auto& box : ui.shown)
        n += box.text == text;
    return n;
}
