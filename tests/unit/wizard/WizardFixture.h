// What the wizard model's tests share: a host that records what the model asks of the window,
// and a fixture that prepares the model over the fake engine and the in-memory machine.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "system/memory/MemoryPlatform.h"
#include "wizard/FakeWizardEngine.h"
#include "wizard/WizardModel.h"

class RecordingHost : public IWizardHost, public ISetupProgress {
public:
    WizardModel* model = nullptr;
    int paints = 0, closeRequests = 0, terminations = 0, closed = 0, inputDrops = 0;
    std::vector<std::string> statuses;

    void PaintNow() override { ++paints; }
    ISetupProgress& Progress() override { return *this; }
    void DropPendingInput() override { ++inputDrops; }
    // As the window does: the close query decides.
    void RequestClose() override {
        ++closeRequests;
        if (model->CloseQuery()) ++closed;
    }
    void Terminate() override { ++terminations; }
    WindowRef Owner() override { return 7; }
    void SetProgress(int position) override { model->SetProgress(position); }
    void SetStatus(const std::string& text) override {
        model->SetStatus(text);
        statuses.push_back(text);
    }
};

class WizardTestBase : public ::testing::Test {
protected:
    MemoryPlatform platform;
    FakeWizardEngine engine;
    RecordingHost host;
    std::unique_ptr<WizardModel> model;

    // Prepares the model for the engine as set up, with the default destination creatable.
    WizardModel& Start() {
        model = std::make_unique<WizardModel>(engine, platform, host);
        host.model = model.get();
        engine.creatableFolders.push_back(engine.destinationFolder);
        model->Prepare();
        return *model;
    }
};
