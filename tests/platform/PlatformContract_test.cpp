// One contract, two machines: what the in-memory machine does, Windows does too.
#include <gtest/gtest.h>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/ShellUtils.h"
#include "system/Utf8.h"
#include "system/WindowsEx.h"
#include "tests/platform/ContractFixture.h"

namespace {

template <class Machine>
class PlatformContract : public ContractFixture<Machine> {};
TYPED_TEST_SUITE(PlatformContract, Machines);

TYPED_TEST(PlatformContract, WrittenFileReadsBackWithSizeAndSeek) {
    std::string path = this->Write("data.bin", "0123456789");
    auto stream = this->P().OpenForReading(path, ShareMode::DenyWrite);
    EXPECT_EQ(stream->Size(), 10);
    stream->Seek(4);
    char buffer[16] = {};
    EXPECT_EQ(stream->Read(buffer, sizeof buffer), 6u);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(stream->Position(), 10);
    EXPECT_EQ(stream->Read(buffer, sizeof buffer), 0u) << "reading at the end yields nothing";
    stream->Seek(8);
    EXPECT_THROW(stream->ReadBuffer(buffer, 4), EReadError) << "a short read is an error for ReadBuffer";
}

TYPED_TEST(PlatformContract, CreatingReplacesAnExistingFileWhole) {
    this->Write("data.bin", "a long first version");
    std::string path = this->Write("data.bin", "short");
    EXPECT_EQ(this->P().OpenForReading(path, ShareMode::DenyNone)->Size(), 5);
}

TYPED_TEST(PlatformContract, MissingFileRaisesTheFileErrorNamingThePath) {
    std::string path = this->scratch_ + "missing.txt";
    try {
        this->P().OpenForReading(path, ShareMode::DenyNone);
        FAIL() << "opening a missing file must fail";
    } catch (const EFileError& error) {
        EXPECT_EQ(error.Message().rfind("Cannot open file \"" + path + "\". ", 0), 0u) << error.Message();
    }
}

TYPED_TEST(PlatformContract, AttributesTellFilesFoldersAndNothingApart) {
    std::string file = this->Write("a.txt", "x");
    EXPECT_TRUE(this->P().FileExists(file));
    EXPECT_FALSE(this->P().DirectoryExists(file));
    EXPECT_TRUE(this->P().DirectoryExists(this->scratch_));
    EXPECT_FALSE(this->P().FileExists(this->scratch_));
    EXPECT_EQ(this->P().FileAttributes(this->scratch_ + "none"), kInvalidAttributes);
    EXPECT_TRUE(this->P().FileExists(UpperAscii(file))) << "paths compare without regard to ASCII case";
}

TYPED_TEST(PlatformContract, ShareModesDecideWhoElseMayOpen) {
    std::string path = this->Write("shared.bin", "abc");
    {
        auto first = this->P().OpenForReading(path, ShareMode::DenyNone);
        EXPECT_NO_THROW(this->P().OpenForReading(path, ShareMode::DenyNone));
        EXPECT_THROW(this->P().OpenForReading(path, ShareMode::Exclusive), EFileError);
        EXPECT_THROW(this->P().CreateForWriting(path), EFileError) << "an open file cannot be replaced";
    }
    {
        auto exclusive = this->P().OpenForReading(path, ShareMode::Exclusive);
        EXPECT_THROW(this->P().OpenForReading(path, ShareMode::DenyNone), EFileError);
    }
    EXPECT_NO_THROW(this->P().OpenForReading(path, ShareMode::Exclusive)) << "closing releases the file";
}

TYPED_TEST(PlatformContract, FolderCreationTellsExistingApartAndRemovalNeedsAnEmptyFolder) {
    std::string folder = this->scratch_ + "sub";
    EXPECT_EQ(this->P().CreateFolder(folder), FolderResult::Created);
    EXPECT_EQ(this->P().CreateFolder(folder), FolderResult::AlreadyExists);
    EXPECT_EQ(this->P().CreateFolder(this->scratch_ + "no\\such\\parent"), FolderResult::Failed);
    this->Write("sub\\inner.txt", "x");
    EXPECT_FALSE(this->P().RemoveFolder(folder)) << "a folder with a file stays";
    EXPECT_TRUE(this->P().RemoveFile(folder + "\\inner.txt"));
    EXPECT_FALSE(this->P().RemoveFile(folder + "\\inner.txt")) << "a missing file cannot be deleted";
    EXPECT_TRUE(this->P().RemoveFolder(folder));
    EXPECT_FALSE(this->P().DirectoryExists(folder));
}

// Wine runs this 32-bit process on x64 Windows; where it lacks the newer probes the report falls
// back to WOW64, and both ways must agree with it.
TYPED_TEST(PlatformContract, TheMachineIsX64AndAgreesWithWow64) {
    const MachineReport machine = this->P().Machine();
    EXPECT_EQ(machine.Native, NativeMachine::X64);
    EXPECT_TRUE(machine.RunsX64);
    EXPECT_TRUE(this->P().ProcessIsWow64()) << "64-bit Windows, as before";
}

// The tests run Wine in its default locale, whose UI language is that of a fresh memory machine.
TYPED_TEST(PlatformContract, TheUserInterfaceSpeaksEnglishOfTheUnitedStates) {
    EXPECT_EQ(this->P().UserUiLanguage(), 0x0409);
}

// Code page 0 is the ANSI code page: 1252 on the memory machine and in Wine's default locale.
TYPED_TEST(PlatformContract, TextInACodePageComesOutAsUtf8OrNotAtAll) {
    Platform& p = this->P();
    EXPECT_EQ(p.TextAsUtf8(1252, "Caf\xE9 \x80 \x9F"), "Café € Ÿ");
    EXPECT_EQ(p.TextAsUtf8(0, "Cr\xE8me"), "Crème");
    EXPECT_EQ(p.TextAsUtf8(932, "\x96\xE9\x96\xBE\x82\xAF.txt"), "夜明け.txt");
    EXPECT_EQ(p.TextAsUtf8(65001, "Café"), "Café");
    EXPECT_EQ(p.TextAsUtf8(1252, ""), "");
    EXPECT_EQ(p.TextAsUtf8(932, "a\x82"), std::nullopt) << "a lead byte without its trail byte";
    EXPECT_EQ(p.TextAsUtf8(65001, "Caf\xE9"), std::nullopt) << "1252 bytes are no UTF-8";
}

// Names and text in any script reach Windows and come back byte for byte: accented Latin,
// Cyrillic, Greek, Japanese and a character beyond the BMP (a surrogate pair in UTF-16).
TYPED_TEST(PlatformContract, NamesAndTextsInEveryScriptComeBackExactly) {
    const std::string word =
        "Cr\u00E8me \u041E\u043B\u044C\u0433\u0430 \u03A9\u03BC\u03AD\u03B3\u03B1 "
        "\u591C\u660E\u3051 \U0001D11E";
    const std::string folder = this->Folder(word) + "\\";
    const std::string file = this->Write(word + "\\" + word + ".txt", word);
    auto names = [&](const std::string& pattern) {
        std::vector<std::string> found;
        if (auto search = this->P().FindFiles(pattern)) do
                found.push_back(search->Current().name);
            while (search->Next());
        return found;
    };
    EXPECT_EQ(names(this->scratch_ + "Cr*"), std::vector<std::string>{word});
    EXPECT_EQ(names(folder + "*.txt"), std::vector<std::string>{word + ".txt"});
    EXPECT_TRUE(this->P().FileExists(file));

    const std::string link = folder + word + ".lnk";
    this->created_.push_back(word + "\\" + word + ".lnk");
    ASSERT_TRUE(CreateShortcut(this->P(), link, file, word, 0));
    ShortcutTarget read = ReadShortcut(this->P(), link);
    EXPECT_TRUE(SameText(read.target, file)) << read.target;
    EXPECT_EQ(read.arguments, word);

    TRegistry registry(this->P());
    ASSERT_TRUE(registry.OpenKey(this->key_ + "\\" + word, true));
    registry.WriteString(word, word);
    ASSERT_TRUE(registry.OpenKeyReadOnly(this->key_ + "\\" + word));
    EXPECT_EQ(registry.ReadString(word), word);
    ASSERT_TRUE(registry.OpenKey(this->key_, false));
    EXPECT_EQ(registry.KeyNames(), std::vector<std::string>{word});
    RegistryKey key = this->P().OpenRegistryKey(RootKey::CurrentUser, this->key_.substr(1), kKeyAllAccess);
    std::optional<RegistryKeyInfo> info = this->P().QueryRegistryKeyInfo(key);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->longestSubkeyName, Utf16Length(word)) << "Windows counts key names in UTF-16 units";
    const std::string list = word + '\0' + "\u00E9" + '\0' + '\0';
    ASSERT_TRUE(this->P().WriteRegistryValue(key, word, {kRegMultiString, {list.begin(), list.end()}}));
    std::optional<RegistryValue> value = this->P().ReadRegistryValue(key, word);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, kRegMultiString);
    EXPECT_EQ(std::string(value->data.begin(), value->data.end()), list) << "each string keeps its NUL";
}

}  // namespace

namespace {

// One slot handed between two threads: the lock guards it, one signal says it is full, the
// other that it is empty again.
struct Mailbox {
    std::unique_ptr<ThreadLock> lock;
    std::unique_ptr<ThreadSignal> full, empty;
    bool holding = false;
    int value = 0;
};

}  // namespace

TYPED_TEST(PlatformContract, AWorkerHandsOverThroughLockAndSignalsAndIsWaitedFor) {
    Mailbox box{this->P().NewThreadLock(), this->P().NewThreadSignal(), this->P().NewThreadSignal()};
    constexpr int kCount = 2000;
    bool workerReturned = false;
    auto put = [&](int value) {
        box.lock->Enter();
        while (box.holding) {
            box.lock->Leave();
            box.empty->Wait();
            box.lock->Enter();
        }
        box.value = value;
        box.holding = true;
        box.lock->Leave();
        box.full->Set();
    };
    {
        std::unique_ptr<WorkerThread> worker = this->P().StartWorker([&] {
            for (int i = 1; i <= kCount; ++i) put(i);
            workerReturned = true;
        });
        ASSERT_NE(worker, nullptr);
        long long sum = 0;
        for (int taken = 0; taken < kCount; ++taken) {
            box.lock->Enter();
            while (!box.holding) {
                box.lock->Leave();
                box.full->Wait();
                box.lock->Enter();
            }
            EXPECT_EQ(box.value, taken + 1) << "every value once, in order";
            sum += box.value;
            box.holding = false;
            box.lock->Leave();
            box.empty->Set();
        }
        EXPECT_EQ(sum, static_cast<long long>(kCount) * (kCount + 1) / 2);
    }
    EXPECT_TRUE(workerReturned) << "destroying the worker waits for its work to return";
}
