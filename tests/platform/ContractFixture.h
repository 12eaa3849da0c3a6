// The fixture every contract test shares: a fresh platform, a scratch folder in its temporary
// folder, and scratch registry keys under Software\PlugsetupContract, all removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "system/WindowsEx.h"
#include "tests/platform/Machine.h"

#ifdef PLUGSETUP_TEST_WIN32
using Machines = ::testing::Types<MemoryMachine, Win32Machine>;
#else
using Machines = ::testing::Types<MemoryMachine>;
#endif

template <class Machine>
class ContractFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform_ = Machine::Create();
        static std::atomic<int> counter{0};
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        id_ = "contract-" + std::to_string(stamp % 1000000007) + "-" + std::to_string(counter++);
        scratch_ = platform_->TemporaryFolder() + id_ + "\\";
        ASSERT_EQ(platform_->CreateFolder(scratch_), FolderResult::Created);
        key_ = "\\Software\\PlugsetupContract\\" + id_;
    }
    void TearDown() override {
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
            platform_->ChangeFileAttributes(scratch_ + *it, kAttrNormal);
            if (!platform_->RemoveFile(scratch_ + *it)) platform_->RemoveFolder(scratch_ + *it);
        }
        platform_->RemoveFolder(scratch_ + "sub");
        platform_->RemoveFolder(scratch_);
        for (bool view64 : {false, true}) {
            TRegistry64 machine(*platform_, view64);
            machine.SetRootKey(RootKey::LocalMachine);
            machine.DeleteKey(key_);
            machine.DeleteKey("\\Software\\PlugsetupContract");  // only goes when empty
        }
        TRegistry user(*platform_);
        user.DeleteKey(key_);
        user.DeleteKey("\\Software\\PlugsetupContract");
        TRegistry classes(*platform_);
        classes.SetRootKey(RootKey::ClassesRoot);
        for (const std::string& key : classKeys_) classes.DeleteKey(key);
    }

    std::string Write(const std::string& name, const std::string& text) {
        auto stream = platform_->CreateForWriting(scratch_ + name);
        stream->Write(text.data(), text.size());
        created_.push_back(name);
        return scratch_ + name;
    }
    std::string Folder(const std::string& name) {
        EXPECT_EQ(platform_->CreateFolder(scratch_ + name), FolderResult::Created);
        created_.push_back(name);
        return scratch_ + name;
    }
    // A key of HKEY_CLASSES_ROOT that the test creates; removed afterwards.
    void ClassKey(const std::string& key) { classKeys_.push_back(key); }

    Platform& P() { return *platform_; }
    std::unique_ptr<Platform> platform_;
    std::string id_;
    std::string scratch_;
    std::string key_;  // absolute, below Software
    std::vector<std::string> created_;
    std::vector<std::string> classKeys_;
};
