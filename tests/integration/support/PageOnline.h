// Shared set-up of the setpoint page tests run online against the simulated
// relay: the page, editor and harness headers and the test helpers' names.
#pragma once

#include "app/AppContext.h"
#include "editors/ValueEditorWidget.h"
#include "pages/SetpointPageView.h"
#include "LoggedFrames.h"
#include "OnlineProgram.h"
#include "SimHarness.h"
#include "tools/relay-sim/DefaultSetpoints.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <sstream>

using kova::test::Bytes;
using kova::test::frameOf;
using kova::test::hexBytes;
using kova::test::OnlineProgram;
using kova::test::SimHarness;
using kova::test::withCrc;
