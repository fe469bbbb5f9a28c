#pragma once

#include "core/app/CancelFlags.h"
#include "core/engine/ZipEngineSession.h"
#include "core/settings/AppSettings.h"
#include "support/FakeEngine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace quarvo::testing {

// A session over a fake engine, a scripted user interface and settings that never touch a real
// profile.
class EngineSessionTest : public ::testing::Test {
  protected:
    EngineSessionTest() : settings(directory.file("quarvo.ini"), directory.path().string())
    {
        CancelFlags::zipEngine = false;
    }
    ~EngineSessionTest() override { CancelFlags::zipEngine = false; }

    TemporaryDirectory directory;
    ScriptedUserInterface ui;
    FakeEngine engine;
    AppSettings settings;
};

} // namespace quarvo::testing
